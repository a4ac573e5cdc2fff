// The sequence library: which commands the selection allows, and New, Edit and Delete with
// their dialog, error report and confirmation.

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "app_test_support.h"
#include "app/sequence_dialog.h"

namespace velmo::testing {

namespace {

// Fills the sequence dialog and presses OK (or Enter in the move string).
void AnswerSequenceDialog(const QString& name, const QString& moves, QString* shownName = nullptr,
                          QString* shownMoves = nullptr) {
    AnswerNextModal<Tfm_String>([=](Tfm_String* dialog) {
        if (shownName) *shownName = dialog->ed_Name->text();
        if (shownMoves) *shownMoves = dialog->mm_String->toPlainText();
        dialog->ed_Name->setText(name);
        dialog->mm_String->setPlainText(moves);
        QTest::keyClick(dialog->mm_String, Qt::Key_Return);
    });
}

QStringList Texts(QTreeWidgetItem* root) {
    QStringList texts;
    for (int i = 0; i < root->childCount(); ++i) texts << root->child(i)->text(0);
    return texts;
}

}  // namespace

class SequencesTest : public QObject {
    Q_OBJECT
private slots:
    void theSelectionDecidesWhichCommandsAreOpen();
    void newAddsAtTheEndOfTheSelectedList();
    void editKeepsThePlaceAndARejectedStringKeepsTheText();
    void deleteAsksFirst();
};

void SequencesTest::theSelectionDecidesWhichCommandsAreOpen() {
    AppUnderTest app("[POPULAR]\nCount=1\nPos1=A {Ф}\n");
    TDM& dm = app.dm();
    const auto open = [&] {
        dm.UpdateSequenceActions();
        return QString("%1%2%3")
            .arg(dm.ac_StringNew->isEnabled())
            .arg(dm.ac_StringEdit->isEnabled())
            .arg(dm.ac_StringDelete->isEnabled());
    };
    QCOMPARE(open(), QString("000"));
    QTreeWidgetItem* basic = app.tree().topLevelItem(0);
    QTreeWidgetItem* frequent = app.tree().topLevelItem(1);
    basic->setSelected(true);
    QCOMPARE(open(), QString("000"));
    app.tree().clearSelection();
    basic->child(3)->setSelected(true);
    QCOMPARE(open(), QString("000"));
    app.tree().clearSelection();
    frequent->setSelected(true);
    QCOMPARE(open(), QString("100"));
    app.tree().clearSelection();
    frequent->child(0)->setSelected(true);
    QCOMPARE(open(), QString("111"));
}

void SequencesTest::newAddsAtTheEndOfTheSelectedList() {
    AppUnderTest app("[POPULAR]\nCount=2\nPos1=A {Ф}\nPos2=B {П}\n[USER]\nCount=1\nPos1=C {В}\n");
    QTreeWidgetItem* frequent = app.tree().topLevelItem(1);
    QTreeWidgetItem* user = app.tree().topLevelItem(2);

    user->setSelected(true);
    AnswerSequenceDialog("Новая", "(П В П' В)2");
    app.dm().ac_StringNewExecute();
    QCOMPARE(Texts(user), QStringList({"C {В}", "Новая {(П В П' В)2}"}));
    QCOMPARE(TSequenceTree::Kind(user->child(1)), int(kUserNode));

    app.tree().clearSelection();
    frequent->child(0)->setSelected(true);
    AnswerSequenceDialog("", "Ов");
    app.dm().ac_StringNewExecute();
    QCOMPARE(Texts(frequent), QStringList({"A {Ф}", "B {П}", " {Ов}"}));
    QCOMPARE(TSequenceTree::Kind(frequent->child(2)), int(kFrequentNode));

    auto seen = AnswerNextMessageBox(QMessageBox::Ok);
    AnswerSequenceDialog("Плохая", "Ф))");
    app.dm().ac_StringNewExecute();
    QTRY_VERIFY(seen->shown);
    QCOMPARE(seen->caption, QString("Выполнение"));
    QCOMPARE(frequent->childCount(), 3);
}

void SequencesTest::editKeepsThePlaceAndARejectedStringKeepsTheText() {
    AppUnderTest app("[USER]\nCount=3\nPos1=A {Ф}\nPos2=  Середина  {П В}  хвост\nPos3=C {В}\n");
    QTreeWidgetItem* user = app.tree().topLevelItem(2);
    user->child(1)->setSelected(true);
    QString shownName, shownMoves;
    AnswerSequenceDialog("Середина", "Л2", &shownName, &shownMoves);
    app.dm().ac_StringEditExecute();
    QCOMPARE(shownName, QString("Середина"));
    QCOMPARE(shownMoves, QString("П В"));
    QCOMPARE(Texts(user), QStringList({"A {Ф}", "Середина {Л2}", "C {В}"}));

    auto seen = AnswerNextMessageBox(QMessageBox::Ok);
    AnswerSequenceDialog("Иначе", "2Л");
    app.dm().ac_StringEditExecute();
    QTRY_VERIFY(seen->shown);
    QCOMPARE(user->child(1)->text(0), QString("Середина {Л2}"));
}

void SequencesTest::deleteAsksFirst() {
    AppUnderTest app("[POPULAR]\nCount=1\nPos1=A {Ф}\n");
    QTreeWidgetItem* frequent = app.tree().topLevelItem(1);
    frequent->child(0)->setSelected(true);
    auto seen = AnswerNextMessageBox(QMessageBox::No);
    app.dm().ac_StringDeleteExecute();
    QCOMPARE(seen->caption, QString("Внимание!"));
    QCOMPARE(seen->text, QString("Вы действительно хотите удалить эту запись?"));
    QCOMPARE(frequent->childCount(), 1);
    AnswerNextMessageBox(QMessageBox::Yes);
    app.dm().ac_StringDeleteExecute();
    QCOMPARE(frequent->childCount(), 0);

    // The emptied list is saved as "Count" 0 with no "Pos" keys.
    AnswerNextMessageBox(QMessageBox::Yes);
    app.window->close();
    const QByteArray ini = AppUnderTest::ReadFile(app.IniPath());
    QVERIFY(ini.contains("[POPULAR]\nCount=0\n"));
    QVERIFY(!ini.contains("Pos"));
}

}  // namespace velmo::testing

QTEST_MAIN(velmo::testing::SequencesTest)
#include "sequences_test.moc"
