#include "shell/uExWrnDlg.h"
#include "support/TestActions.h"
#include "support/TestMainGui.h"

#include <QCheckBox>
#include <QLabel>
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

} // namespace

class TestExWrnDlg : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void showsTheWarningUnchecked();
    void returnsTheCheckBox_data();
    void returnsTheCheckBox();
};

void TestExWrnDlg::showsTheWarningUnchecked()
{
    TfExWrnDlg dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Warning"));
    QVERIFY(!Control<QLabel>(&dialog, "lIcon")->pixmap().isNull());
    QCOMPARE(Control<QLabel>(&dialog, "lMessage")->text(),
             QStringLiteral("A service cable MAY NOT be connected in places with potentially explosive atmospheres."));
    auto *check = Control<QCheckBox>(&dialog, "chbDontShow");
    QCOMPARE(check->text(), QStringLiteral("Do not show this message again"));
    QVERIFY(!check->isChecked());
    QCOMPARE(Control<QPushButton>(&dialog, "btnOK")->text(), QStringLiteral("OK"));
}

void TestExWrnDlg::returnsTheCheckBox_data()
{
    QTest::addColumn<bool>("check");
    QTest::addColumn<bool>("escape"); // closed with Escape instead of OK
    QTest::newRow("OK, unchecked") << false << false;
    QTest::newRow("OK, checked") << true << false;
    QTest::newRow("Escape, checked") << true << true;
}

void TestExWrnDlg::returnsTheCheckBox()
{
    QFETCH(bool, check);
    QFETCH(bool, escape);
    TestActions::WhenModal<TfExWrnDlg>([&](TfExWrnDlg *dialog) {
        if (check)
            QTest::mouseClick(Control<QCheckBox>(dialog, "chbDontShow"), Qt::LeftButton);
        if (escape)
            QTest::keyClick(dialog, Qt::Key_Escape);
        else
            QTest::mouseClick(Control<QPushButton>(dialog, "btnOK"), Qt::LeftButton);
    });
    QCOMPARE(TfExWrnDlg::Execute(nullptr), check);
}

PELINOR_TEST_GUI_MAIN(TestExWrnDlg)
#include "test_uExWrnDlg.moc"
