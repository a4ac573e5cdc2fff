#include "settings/failure_text.h"

#include <cerrno>
#include <cstdio>

namespace velmo {

namespace {

// The system's reason for `error` (an errno value), such as "нет прав доступа"; a rare one
// gives its number.
std::string SystemReason(int error) {
    switch (error) {
        case EACCES: return "нет прав доступа";
        case EPERM: return "действие не разрешено";
        case EROFS: return "файловая система доступна только для чтения";
        case ENOSPC: return "на диске нет места";
        case EDQUOT: return "исчерпана дисковая квота";
        case EFBIG: return "файл слишком велик";
        case ENOENT: return "нет такого файла или папки";
        case ENOTDIR: return "часть пути — не папка";
        case EISDIR: return "это папка";
        case ELOOP: return "слишком много символических ссылок";
        case ENAMETOOLONG: return "слишком длинное имя";
        case EEXIST: return "такой файл уже есть";
        case EIO: return "ошибка ввода-вывода";
        case EBUSY:
        case ETXTBSY: return "файл занят";
        case EMFILE:
        case ENFILE: return "открыто слишком много файлов";
        case ENOMEM: return "не хватает памяти";
        case ENXIO:
        case ENODEV: return "нет такого устройства";
        case EMLINK: return "слишком много ссылок";
        case EAGAIN: return "ресурс временно недоступен";
        case ESTALE: return "файл на сетевом диске больше недоступен";
        default: return "системная ошибка № " + std::to_string(error);
    }
}

}  // namespace

std::string QuotedPath(const std::string& path) {
    std::string quoted = "«";
    for (const char c : path) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            quoted += c;
            continue;
        }
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\x%02X", byte);
        quoted += escape;
    }
    return quoted + "»";
}

std::string Failure(std::string_view action, const std::string& path, int error) {
    return "Не удалось " + std::string(action) + ' ' + QuotedPath(path) + ": " +
           SystemReason(error) + '.';
}

}  // namespace velmo
