#include "shell/uTTelnetPswd.h"
#include "support/TestActions.h"
#include "support/TestMainGui.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

template <typename T>
T *Control(QWidget *dialog, const char *name)
{
    T *control = dialog->findChild<T *>(QLatin1String(name));
    if (control == nullptr)
        qFatal("control %s is missing", name);
    return control;
}

// Types text into the password edit of the dialog that comes up and leaves
// it with button.
void AnswerWith(const QString &text, const char *button)
{
    TestActions::WhenModal<TfTTelnetPswd>([text, button](TfTTelnetPswd *dialog) {
        QTest::keyClicks(Control<QLineEdit>(dialog, "ePassword"), text);
        QTest::mouseClick(Control<QPushButton>(dialog, button), Qt::LeftButton);
    });
}

} // namespace

class TestTTelnetPswd : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void titleLabelAndMask_data();
    void titleLabelAndMask();
    void okGivesTheTextUpToTheLimit_data();
    void okGivesTheTextUpToTheLimit();
    void cancelGivesNoValue();
};

void TestTTelnetPswd::titleLabelAndMask_data()
{
    QTest::addColumn<QString>("title");
    QTest::newRow("telnet") << "Password";
    QTest::newRow("administrator") << "Administrator password";
}

void TestTTelnetPswd::titleLabelAndMask()
{
    QFETCH(QString, title);
    TfTTelnetPswd dialog(title, 0);
    QCOMPARE(dialog.windowTitle(), title);
    QCOMPARE(Control<QLabel>(&dialog, "lPassword")->text(), QStringLiteral("Enter password:"));
    QCOMPARE(Control<QLineEdit>(&dialog, "ePassword")->echoMode(), QLineEdit::Password);
    QCOMPARE(Control<QPushButton>(&dialog, "btnOK")->text(), QStringLiteral("OK"));
    QCOMPARE(Control<QPushButton>(&dialog, "btnCancel")->text(), QStringLiteral("Cancel"));
}

void TestTTelnetPswd::okGivesTheTextUpToTheLimit_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("password");
    QTest::newRow("four characters kept") << "Password" << 4 << "a1B2c3" << "a1B2";
    QTest::newRow("shorter than the limit") << "Password" << 4 << "x9" << "x9";
    QTest::newRow("no limit") << "Administrator password" << 0 << "a long administrator pass 0123456789"
                              << "a long administrator pass 0123456789";
    QTest::newRow("empty") << "Password" << 4 << "" << "";
}

void TestTTelnetPswd::okGivesTheTextUpToTheLimit()
{
    QFETCH(QString, title);
    QFETCH(int, maxLength);
    QFETCH(QString, typed);
    AnswerWith(typed, "btnOK");
    const std::optional<QString> answer = TfTTelnetPswd::Execute(nullptr, title, maxLength);
    QVERIFY(answer.has_value());
    QTEST(*answer, "password");
}

void TestTTelnetPswd::cancelGivesNoValue()
{
    AnswerWith(QStringLiteral("1234"), "btnCancel");
    QVERIFY(!TfTTelnetPswd::Execute(nullptr, QStringLiteral("Password"), 4).has_value());
}

PELINOR_TEST_GUI_MAIN(TestTTelnetPswd)
#include "test_uTTelnetPswd.moc"
