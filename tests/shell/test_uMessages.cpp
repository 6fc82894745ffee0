#include "shell/uMessages.h"
#include "support/ScriptedMessages.h"
#include "support/TestEnvironment.h"

#include <QTest>

class TestMessages : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void boxRecordsRequestAndReturnsQueuedAnswer();
    void withoutAnswerTheDefaultResultComes();
    void writeProtectedWording_data();
    void writeProtectedWording();
};

void TestMessages::boxRecordsRequestAndReturnsQueuedAnswer()
{
    TScriptedMessages messages;
    messages.Answer(mrNo);
    const int result = ShowMessageBox(QStringLiteral("Really?"), TMsgDlgType::mtWarning, mbYes | mbNo, mrYes);
    QCOMPARE(result, static_cast<int>(mrNo));
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].title, QStringLiteral("Warning"));
    QCOMPARE(messages.shown[0].text, QStringLiteral("Really?"));
    QCOMPARE(messages.shown[0].buttons, TMsgDlgButtons(mbYes | mbNo));
}

void TestMessages::withoutAnswerTheDefaultResultComes()
{
    TScriptedMessages messages;
    QCOMPARE(ShowMessageBox(QStringLiteral("x"), TMsgDlgType::mtError, mbAbort | mbRetry, mrRetry),
             static_cast<int>(mrRetry));
    QCOMPARE(ShowMessageOK(QStringLiteral("y"), TMsgDlgType::mtInformation), static_cast<int>(mrOk));
    QCOMPARE(messages.shown[1].title, QStringLiteral("Information"));
}

void TestMessages::writeProtectedWording_data()
{
    QTest::addColumn<bool>("keypad");
    QTest::addColumn<int>("picture");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("hasHelp");
    QTest::newRow("jumper picture 1") << false << 1 << QStringLiteral("Sensor is write-protected! Please close jumper!")
                                      << true;
    QTest::newRow("jumper picture 2") << false << 2 << QStringLiteral("Sensor is write-protected! Please close jumper!")
                                      << true;
    QTest::newRow("keypad model")
        << true << 1
        << QStringLiteral("Sensor is write-protected! Please close jumper or hold 'Set' button while writing!") << false;
}

void TestMessages::writeProtectedWording()
{
    QFETCH(bool, keypad);
    QFETCH(int, picture);
    QFETCH(QString, text);
    QFETCH(bool, hasHelp);
    TScriptedMessages messages;
    ShowWriteProtected(QStringLiteral("Sensor is write-protected! Please close jumper!"), TMsgDlgType::mtError,
                       mrRetry, mbAbort | mbRetry | mbHelp, TWriteProtectDevice{keypad, picture});
    QCOMPARE(messages.shown.size(), 1);
    const TMessageRequest &r = messages.shown[0];
    QCOMPARE(r.text, text);
    QCOMPARE((r.buttons & mbHelp) != 0, hasHelp);
    QCOMPARE(r.defaultResult, static_cast<int>(mrRetry));
    if (hasHelp) {
        QVERIFY(r.help);
        r.help();
        QCOMPARE(messages.jumperPictures, QList<int>{picture});
    }
}

PELINOR_TEST_MAIN(TestMessages)
#include "test_uMessages.moc"
