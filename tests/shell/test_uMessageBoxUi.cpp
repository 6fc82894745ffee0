#include "shell/uJumperPicture.h"
#include "shell/uMessageBoxUi.h"
#include "support/TestActions.h"
#include "support/TestMainGui.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(TMsgDlgType)

namespace {

TMessageRequest Request(TMsgDlgType type, TMsgDlgButtons buttons, int defaultResult)
{
    TMessageRequest r;
    r.title = QStringLiteral("Warning");
    r.text = QStringLiteral("Sensor is write-protected! Please close jumper!");
    r.type = type;
    r.buttons = buttons;
    r.defaultResult = defaultResult;
    return r;
}

QAbstractButton *ButtonOfResult(QMessageBox *box, int result)
{
    for (QAbstractButton *b : box->buttons())
        if (b->property("modalResult").toInt() == result)
            return b;
    return nullptr;
}

} // namespace

class TestMessageBoxUi : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void boxLooksAsRequested_data();
    void boxLooksAsRequested();
    void helpRunsAndKeepsTheBoxOpen();
    void jumperMarkIsRedTwoPixels_data();
    void jumperMarkIsRedTwoPixels();
    void jumperWindowClosesOnClickAndKeys_data();
    void jumperWindowClosesOnClickAndKeys();
};

void TestMessageBoxUi::boxLooksAsRequested_data()
{
    QTest::addColumn<TMsgDlgType>("type");
    QTest::addColumn<int>("icon");
    QTest::addColumn<unsigned>("buttons");
    QTest::addColumn<int>("defaultResult");
    QTest::addColumn<QList<int>>("results");
    QTest::newRow("warning yes/no") << TMsgDlgType::mtWarning << int(QMessageBox::Warning) << unsigned(mbYes | mbNo)
                                    << int(mrYes) << QList<int>{mrYes, mrNo};
    QTest::newRow("error abort/retry") << TMsgDlgType::mtError << int(QMessageBox::Critical)
                                       << unsigned(mbAbort | mbRetry) << int(mrRetry) << QList<int>{mrAbort, mrRetry};
    QTest::newRow("information ok") << TMsgDlgType::mtInformation << int(QMessageBox::Information) << unsigned(mbOK)
                                    << int(mrOk) << QList<int>{mrOk};
    QTest::newRow("confirmation, all kinds")
        << TMsgDlgType::mtConfirmation << int(QMessageBox::Question)
        << unsigned(mbYes | mbNo | mbCancel | mbAll | mbNoToAll | mbYesToAll | mbIgnore) << int(mrNo)
        << QList<int>{mrYes, mrNo, mrCancel, mrIgnore, mrAll, mrNoToAll, mrYesToAll};
}

void TestMessageBoxUi::boxLooksAsRequested()
{
    QFETCH(TMsgDlgType, type);
    QFETCH(unsigned, buttons);
    QFETCH(int, defaultResult);
    QFETCH(QList<int>, results);
    std::unique_ptr<QMessageBox> box(CreateMessageBox(Request(type, buttons, defaultResult), nullptr));
    QTEST(int(box->icon()), "icon");
    QCOMPARE(box->windowTitle(), QStringLiteral("Warning"));
    QCOMPARE(box->text(), QStringLiteral("Sensor is write-protected! Please close jumper!"));
    QVERIFY(!(box->windowFlags() & Qt::WindowCloseButtonHint));
    QList<int> shown;
    for (QAbstractButton *b : box->buttons())
        shown.append(b->property("modalResult").toInt());
    std::sort(shown.begin(), shown.end());
    std::sort(results.begin(), results.end());
    QCOMPARE(shown, results);
    QCOMPARE(box->defaultButton(), ButtonOfResult(box.get(), defaultResult));
    box->show();
    QVERIFY(QTest::qWaitForWindowActive(box.get()));
    QCOMPARE(QApplication::focusWidget(), ButtonOfResult(box.get(), defaultResult));
}

void TestMessageBoxUi::helpRunsAndKeepsTheBoxOpen()
{
    QWidget owner;
    owner.resize(600, 400);
    owner.show();
    QVERIFY(QTest::qWaitForWindowActive(&owner));
    TMessageRequest request = Request(TMsgDlgType::mtError, mbAbort | mbRetry | mbHelp, mrRetry);
    int helpRuns = 0;
    request.help = [&helpRuns] { ++helpRuns; };
    bool stillOpen = false;
    QPoint boxCentre;
    TestActions::WhenModal<QMessageBox>([&](QMessageBox *box) {
        QTest::mouseClick(ButtonOfResult(box, mrHelp), Qt::LeftButton);
        stillOpen = box->isVisible();
        boxCentre = box->frameGeometry().center();
        QTest::mouseClick(ButtonOfResult(box, mrAbort), Qt::LeftButton);
    });
    TMessageBoxUi presenter;
    QCOMPARE(presenter.Show(request), int(mrAbort));
    QCOMPARE(helpRuns, 1);
    QVERIFY(stillOpen);
    QVERIFY2((boxCentre - owner.frameGeometry().center()).manhattanLength() < 40, "centred over the active window");
}

void TestMessageBoxUi::jumperMarkIsRedTwoPixels_data()
{
    QTest::addColumn<int>("picture");
    QTest::addColumn<QRect>("mark");
    QTest::newRow("picture 1") << 1 << QRect(QPoint(99, 43), QPoint(114, 53));
    QTest::newRow("picture 2") << 2 << QRect(QPoint(112, 87), QPoint(127, 97));
}

void TestMessageBoxUi::jumperMarkIsRedTwoPixels()
{
    QFETCH(int, picture);
    QFETCH(QRect, mark);
    QCOMPARE(TfJumperPicture::JumperMark(picture), mark);
    const QImage image = TfJumperPicture::PictureImage(picture);
    const QColor red(Qt::red);
    for (const QPoint &p : {mark.topLeft(), mark.bottomRight(), mark.topLeft() + QPoint(1, 1),
                            mark.bottomRight() - QPoint(1, 1), QPoint(mark.center().x(), mark.top() + 1)})
        QCOMPARE(image.pixelColor(p), red);
    for (const QPoint &p : {mark.topLeft() - QPoint(1, 1), mark.bottomRight() + QPoint(1, 1),
                            mark.topLeft() + QPoint(2, 2), mark.bottomRight() - QPoint(2, 2)})
        QVERIFY(image.pixelColor(p) != red);
}

void TestMessageBoxUi::jumperWindowClosesOnClickAndKeys_data()
{
    QTest::addColumn<int>("key");  // 0: a mouse click
    QTest::newRow("click") << 0;
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Esc") << int(Qt::Key_Escape);
    QTest::newRow("Space") << int(Qt::Key_Space);
}

void TestMessageBoxUi::jumperWindowClosesOnClickAndKeys()
{
    QFETCH(int, key);
    int picture = 0;
    bool frameless = false;
    TestActions::WhenModal<TfJumperPicture>([&](TfJumperPicture *window) {
        picture = window->Picture();
        frameless = window->windowFlags() & Qt::FramelessWindowHint;
        if (key == 0)
            QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(20, 20));
        else
            QTest::keyClick(window, Qt::Key(key));
    });
    TMessageBoxUi presenter;
    presenter.ShowJumperPicture(2);
    QCOMPARE(picture, 2);
    QVERIFY(frameless);
}

PELINOR_TEST_GUI_MAIN(TestMessageBoxUi)
#include "test_uMessageBoxUi.moc"
