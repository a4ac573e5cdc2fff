#include "settings/starter_library.h"

namespace velmo {

std::vector<std::string> StarterSequences() {
    return {
        // The edge in front on top goes down into the middle layer, front right or front left,
        // its front colour staying in front.
        "Ребро сверху в средний слой вправо {В П В' П' В' Ф' В Ф}",
        "Ребро сверху в средний слой влево {В' Л' В Л В Ф В' Ф'}",
        // The four top edges exchange across: front with back, left with right.
        "Обмен рёбер верха крест-накрест {Сп2 В Сп2 В2 Сп2 В Сп2}",
        // The top corners front right, back left and back right go round, top colour up.
        "Перестановка трёх углов верха {П' Ф П' Т2 П Ф' П' Т2 П2}",
        // The front right top corner twists one way, the back right top corner the other.
        "Поворот двух углов верха {(П' Н' П Н)2 В (П' Н' П Н)4 В'}",
    };
}

}  // namespace velmo
