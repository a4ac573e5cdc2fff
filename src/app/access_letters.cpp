#include "app/access_letters.h"

#include <QAction>
#include <QMenu>
#include <utility>

#include "app/data_module.h"

namespace velmo {

namespace {

// Marks the first occurrence of the letter in the caption.
void Mark(QAction* action, QChar letter) {
    QString text = action->text();
    const qsizetype at = text.indexOf(letter, 0, Qt::CaseInsensitive);
    if (at < 0 || text.contains('&')) return;
    text.insert(at, '&');
    action->setText(text);
}

}  // namespace

void AddAccessLetters(TDM& dm) {
    const std::pair<QAction*, QChar> marks[] = {
        // The menu bar.
        {dm.mi_File->menuAction(), u'Ф'},
        {dm.mi_Edit->menuAction(), u'П'},
        {dm.mi_Service->menuAction(), u'С'},
        {dm.mi_Help->menuAction(), u'?'},
        // «Файл».
        {dm.ac_VelmoNew, u'Н'},
        {dm.ac_VelmoBreak, u'З'},
        {dm.ac_VelmoSolve, u'С'},
        {dm.ac_VelmoHand, u'П'},
        {dm.ac_FileExit, u'В'},
        // «Правка».
        {dm.ac_EditUndo, u'О'},
        {dm.ac_EditRedo, u'П'},
        {dm.ac_EditCopy, u'К'},
        {dm.ac_EditPaste, u'В'},
        // «Сервис».
        {dm.ac_ServiceString, u'В'},
        {dm.ac_ServiceShortest, u'К'},
        {dm.ac_ServiceParams, u'П'},
        // «?».
        {dm.ac_HalpHelp, u'С'},
        {dm.ac_HelpAbout, u'О'},
        // The tree's pop-up menu.
        {dm.ac_StringNew, u'Н'},
        {dm.ac_StringEdit, u'И'},
        {dm.ac_StringDelete, u'У'},
    };
    for (const auto& [action, letter] : marks) Mark(action, letter);
}

}  // namespace velmo
