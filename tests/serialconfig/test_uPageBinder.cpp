#include "serialconfig/uConfigPage.h"
#include "serialconfig/uOutputPage.h"
#include "serialconfig/uPageBinder.h"

#include "TransmitterFixture.h"
#include "shell/uPBNumEdit.h"
#include "support/ScriptedMessages.h"
#include "support/TestMainGui.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <memory>

namespace {

constexpr int NoAnswer = -1;

// The window's side of the binding, recording what the pages ask for.
class TRecordingHost final : public IPageHost {
public:
    void RunPageAction(const std::function<void()> &action) override
    {
        try {
            action();
        } catch (const std::exception &e) {
            failures.append(QString::fromUtf8(e.what()));
        }
    }
    void RefreshPages() override
    {
        for (TPageBinder *binder : binders)
            binder->Refresh();
    }
    void SetPageSaveEnabled(bool enabled) override { saveEnabled.append(enabled); }
    void MovePageFocus(TFocusRequest target) override { focus.append(target); }
    void StartPageSave() override { ++saves; }

    QList<TPageBinder *> binders;
    QList<bool> saveEnabled;
    QList<TFocusRequest> focus;
    int saves = 0;
    QStringList failures;
};

QPushButton *AddButton(QWidget *parent, QLayout *layout, const char *name)
{
    auto *button = new QPushButton(QLatin1String(name), parent);
    button->setObjectName(QLatin1String(name));
    layout->addWidget(button);
    return button;
}

// Both forms of a connected transmitter, bound to its models, in a shown
// window that also holds the window's focus targets and one other control.
struct TBoundPages {
    explicit TBoundPages(TTransmitter &device)
    {
        auto *layout = new QHBoxLayout(&window);
        output = new TfOutputPage(&window);
        config = new TfConfigPage(&window);
        layout->addWidget(output);
        layout->addWidget(config);
        for (const char *name : {"btnConnect", "btnFactDefs", "btnSave", "btnForFocus"})
            AddButton(&window, layout, name);
        other = new QLineEdit(&window);
        other->setObjectName(QStringLiteral("eOther"));
        layout->addWidget(other);
        outputBinder = output->Bind(device.Output(), host);
        configBinder = config->Bind(device.Config(), host);
        host.binders = {outputBinder.get(), configBinder.get()};
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            qWarning("the window did not become active");
    }

    template <typename T = QWidget>
    T *Child(const QString &name) const
    {
        T *child = window.findChild<T *>(name);
        if (child == nullptr)
            qWarning("no control %s", qPrintable(name));
        return child;
    }

    QWidget window;
    TfOutputPage *output = nullptr;
    TfConfigPage *config = nullptr;
    QLineEdit *other = nullptr;
    TRecordingHost host;
    std::unique_ptr<TPageBinder> outputBinder;
    std::unique_ptr<TPageBinder> configBinder;
};

QStringList ComboTexts(const QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts.append(combo->itemText(i));
    return texts;
}

QStringList ItemTexts(const TComboBoxView &view)
{
    QStringList texts;
    for (const TComboItem &item : view.Items)
        texts.append(item.Text);
    return texts;
}

// Compares a widget with its view, kind by kind, independently of the binder.
void VerifyWidget(QWidget *widget, const TControlRegistry &controls, const QString &name)
{
    const TControlView &control = controls.Control(name);
    QVERIFY2(widget->isHidden() == !control.Visible, qPrintable(name));
    QVERIFY2(widget->isEnabled() == control.Enabled, qPrintable(name));
    if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        QCOMPARE(ComboTexts(combo), ItemTexts(controls.Combo(name)));
        QCOMPARE(combo->currentIndex(), controls.Combo(name).ItemIndex);
    } else if (auto *edit = qobject_cast<TPBNumEdit *>(widget)) {
        const TNumEditView &view = controls.NumEdit(name);
        // An edit holds no value outside its range (hidden edits of absent
        // quantities keep such values in their views).
        const double max = std::max(view.Range.Min, view.Range.Max);
        QCOMPARE(edit->Decimals(), view.Decimals);
        QCOMPARE(edit->MinValue(), view.Range.Min);
        QCOMPARE(edit->MaxValue(), max);
        QCOMPARE(edit->Value(), std::clamp(view.ShownValue(), view.Range.Min, max));
    } else if (auto *box = qobject_cast<QCheckBox *>(widget)) {
        QCOMPARE(box->isChecked(), controls.CheckBox(name).Checked);
        QCOMPARE(box->text(), controls.CheckBox(name).Caption);
    } else if (auto *line = qobject_cast<QLineEdit *>(widget)) {
        QCOMPARE(line->text(), controls.TextEdit(name).Text);
    } else if (auto *label = qobject_cast<QLabel *>(widget)) {
        QCOMPARE(label->text(), controls.Label(name).Caption);
    }
}

// Every control of the page shows its view, and every caption label follows
// the control it names as its buddy.
void VerifyMirrored(const QWidget *form, const TControlRegistry &controls, const QString &tab)
{
    for (const QString &name : controls.Names()) {
        if (name == tab)
            continue;
        QWidget *widget = form->findChild<QWidget *>(name);
        QVERIFY2(widget != nullptr, qPrintable(name));
        VerifyWidget(widget, controls, name);
        if (QTest::currentTestFailed())
            return;
    }
    for (const QLabel *label : form->findChildren<QLabel *>()) {
        if (label->buddy() == nullptr)
            continue;
        const TControlView &control = controls.Control(label->buddy()->objectName());
        QVERIFY2(label->isHidden() == !control.Visible, qPrintable(label->objectName()));
    }
}

// A click as the user makes it with the keyboard: a mouse click in the
// middle of a wide check box misses its indicator and text.
void Press(QAbstractButton *button)
{
    button->setFocus(Qt::TabFocusReason);
    QTest::keyClick(button, Qt::Key_Space);
}

// The user clicks into a numeric edit, replaces its text and leaves it for
// another control.
void TypeInto(TPBNumEdit *edit, const QString &text, QWidget *leaveTo)
{
    QTest::mouseClick(edit, Qt::LeftButton);
    edit->selectAll();
    QTest::keyClicks(edit, text);
    if (leaveTo != nullptr)
        leaveTo->setFocus(Qt::TabFocusReason);
}

} // namespace

class TestPageBinder : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyViewIsMirrored_data();
    void everyViewIsMirrored();
    void userChoicesReachTheModels();
    void addressFollowsProtocol();
    void typedLimitReachesModelAndTwin();
    void leavingALimit_data();
    void leavingALimit();
    void programChangesNeverEnableSave();
};

void TestPageBinder::everyViewIsMirrored_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("firmware");
    QTest::addColumn<bool>("setupAllowed");
    QTest::newRow("Q0003 two current outputs") << "Q0003" << 240 << true;
    QTest::newRow("Q0007 voltage outputs") << "Q0007" << 230 << true;
    QTest::newRow("Q0029 RS232 with display") << "Q0029" << 250 << true;
    QTest::newRow("Q0073 CO2") << "Q0073" << 250 << true;
    QTest::newRow("Q0131 keypad RS485") << "Q0131" << 505 << true;
    QTest::newRow("Q0003 without setup") << "Q0003" << 240 << false;
}

void TestPageBinder::everyViewIsMirrored()
{
    QFETCH(QString, type);
    QFETCH(int, firmware);
    QFETCH(bool, setupAllowed);
    TTransmitter device(qPrintable(type), firmware);
    device.setupAllowed = setupAllowed;
    device.Connect();
    TBoundPages pages(device);

    // Only the tabs themselves are the window's.
    QCOMPARE(pages.outputBinder->Unbound(), QStringList{QStringLiteral("tabOutput")});
    QCOMPARE(pages.configBinder->Unbound(), QStringList{QStringLiteral("tabConfig")});
    VerifyMirrored(pages.output, device.Output().Controls(), QStringLiteral("tabOutput"));
    VerifyMirrored(pages.config, device.Config().Controls(), QStringLiteral("tabConfig"));
    QVERIFY(pages.host.saveEnabled.isEmpty());
}

void TestPageBinder::userChoicesReachTheModels()
{
    TTransmitter device("Q0003", 240);
    device.Connect();
    TBoundPages pages(device);
    auto *quantity2 = pages.Child<QComboBox>(QStringLiteral("cbMeasQuan2"));
    QCOMPARE(quantity2->currentText(), QStringLiteral("Relative humidity"));
    // Picking the selected entry again from the list is no change.
    Q_EMIT quantity2->activated(quantity2->currentIndex());
    QVERIFY(pages.host.saveEnabled.isEmpty());

    QTest::keyClick(quantity2, Qt::Key_Down);
    QCOMPARE(int(device.Output().SelectedChannelQuantity(2)), int(QuantityType::DewPoint));
    QVERIFY(!pages.Child(QStringLiteral("pbneCompQuanLo2"))->isHidden());
    QVERIFY(pages.Child(QStringLiteral("pbneRelHumLo2"))->isHidden());
    QCOMPARE(pages.Child<QLabel>(QStringLiteral("lQuanUnitLo2"))->text(), QStringLiteral("°C"));

    // A unit of the Configuration page re-lays out the Output page's widgets.
    QTest::keyClick(pages.Child<QComboBox>(QStringLiteral("cbCTempUnit")), Qt::Key_Down);
    QCOMPARE(int(device.Config().SelectedTempUnit()), int(UnitType::Fahrenheit));
    QCOMPARE(pages.Child<TPBNumEdit>(QStringLiteral("pbneTemperHi1"))->Value(), 122.0);
    QCOMPARE(pages.Child<QLabel>(QStringLiteral("lQuanUnitHi2"))->text(), QStringLiteral("°F"));

    auto *displayOn = pages.Child<QCheckBox>(QStringLiteral("chDispOn"));
    QVERIFY(displayOn->isChecked());
    Press(displayOn);
    QVERIFY(!displayOn->isChecked());
    QVERIFY(!pages.Child(QStringLiteral("chDispRelHum"))->isEnabled());
    Press(displayOn);
    Press(pages.Child<QCheckBox>(QStringLiteral("chDispRelHum")));
    TConfigWord word(0);
    device.Config().StoreDisplayBits(word);
    QVERIFY(word.Test(TConfigBit::DisplayEnabled));
    QVERIFY(!word.Test(TConfigBit::HumidityOnDisplay));

    QCOMPARE(pages.host.saveEnabled, QList<bool>(5, true));
    QVERIFY(pages.host.failures.isEmpty());
    VerifyMirrored(pages.output, device.Output().Controls(), QStringLiteral("tabOutput"));
}

void TestPageBinder::addressFollowsProtocol()
{
    TTransmitter device("Q0030", 240);
    device.Connect();
    TBoundPages pages(device);
    auto *protocol = pages.Child<QComboBox>(QStringLiteral("cbCProtocol"));
    auto *letter = pages.Child<QLineEdit>(QStringLiteral("eCAddr"));
    QVERIFY(letter->isHidden() && pages.Child(QStringLiteral("lCCharAddr"))->isHidden());
    QVERIFY(!pages.Child(QStringLiteral("lCAddr"))->isHidden());

    QTest::keyClick(protocol, Qt::Key_End);
    QCOMPARE(protocol->currentText(), QStringLiteral("HWg Poseidon"));
    QVERIFY(!letter->isHidden() && !pages.Child(QStringLiteral("lCCharAddr"))->isHidden());
    QVERIFY(pages.Child(QStringLiteral("pbssCAddr"))->isHidden() && pages.Child(QStringLiteral("lCAddr"))->isHidden());
    QCOMPARE(letter->text(), QStringLiteral("A"));

    QTest::mouseClick(letter, Qt::LeftButton);
    letter->selectAll();
    // "T" and "t" are no addresses.
    QTest::keyClicks(letter, QStringLiteral("T"));
    QCOMPARE(letter->text(), QString());
    QTest::keyClicks(letter, QStringLiteral("t"));
    QCOMPARE(letter->text(), QString());
    QTest::keyClicks(letter, QStringLiteral("B"));
    QCOMPARE(letter->text(), QStringLiteral("B"));
    QCOMPARE(device.Config().CharAddressText(), QStringLiteral("B"));
    QVERIFY(pages.host.failures.isEmpty());
}

void TestPageBinder::typedLimitReachesModelAndTwin()
{
    TTransmitter device("Q0003", 240);
    device.Connect();
    TBoundPages pages(device);
    auto *lower1 = pages.Child<TPBNumEdit>(QStringLiteral("pbneTemperLo1"));
    auto *lower2 = pages.Child<TPBNumEdit>(QStringLiteral("pbneTemperLo2"));

    TypeInto(lower1, QStringLiteral("-12.3"), nullptr);
    // While the user types, the text stays as typed and the twin follows.
    QCOMPARE(lower1->text(), QStringLiteral("-12.3"));
    QCOMPARE(lower2->Value(), -12.3);
    QCOMPARE(pages.host.saveEnabled, QList<bool>{true});
    pages.other->setFocus(Qt::TabFocusReason);

    QCOMPARE(device.Output().Limit(TLimitKind::Temperature, TLimitEnd::Lo), -12.3);
    QCOMPARE(device.Output().Controls().NumEdit(QStringLiteral("pbneTemperLo1")).Tag, 0);
    // The range the typing lifted is back on both edits.
    QCOMPARE(lower1->MaxValue(), 600.0);
    QCOMPARE(lower2->MinValue(), -200.0);
    QCOMPARE(pages.host.saveEnabled, QList<bool>{true});

    // The upper-voltage spin of a voltage output follows the plain Save rule.
    TTransmitter voltage("Q0007", 240);
    voltage.Connect();
    TBoundPages voltagePages(voltage);
    TypeInto(voltagePages.Child<TPBNumEdit>(QStringLiteral("pbssOut2")), QStringLiteral("7.5"), voltagePages.other);
    QCOMPARE(voltage.Output().UpperVoltage(2), 7.5);
    QCOMPARE(voltagePages.host.saveEnabled, QList<bool>{true});
}

void TestPageBinder::leavingALimit_data()
{
    QTest::addColumn<QString>("leaveTo");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<double>("kept");
    QTest::addColumn<QList<TFocusRequest>>("focus");
    QTest::addColumn<int>("saves");
    using F = QList<TFocusRequest>;
    // The factory limits are 0 and 50; 25 lies too close to 50.
    QTest::newRow("too small, No") << "eOther" << "25" << int(mrNo) << true << 0.0 << F{} << 0;
    QTest::newRow("too small, Yes") << "eOther" << "25" << int(mrYes) << true << 25.0 << F{} << 0;
    QTest::newRow("far enough") << "eOther" << "-30" << NoAnswer << false << -30.0 << F{} << 0;
    QTest::newRow("out of range") << "eOther" << "700" << NoAnswer << false << 0.0 << F{} << 0;
    QTest::newRow("to the hidden button") << "btnForFocus" << "-30" << NoAnswer << false << -30.0
                                          << F{TFocusRequest::Connect} << 0;
    // The question swallows the click on Save: the page starts the save.
    QTest::newRow("too small, to Save") << "btnSave" << "25" << int(mrYes) << true << 25.0
                                        << F{TFocusRequest::ForFocus} << 1;
    QTest::newRow("too small, to Save, No") << "btnSave" << "25" << int(mrNo) << true << 0.0
                                            << F{TFocusRequest::ForFocus} << 1;
    QTest::newRow("far enough, to Save") << "btnSave" << "-30" << NoAnswer << false << -30.0 << F{} << 0;
    // Leaving the page asks nothing and keeps the value.
    QTest::newRow("too small, to Connect") << "btnConnect" << "25" << NoAnswer << false << 25.0 << F{} << 0;
    QTest::newRow("too small, to Factory Defaults") << "btnFactDefs" << "25" << NoAnswer << false << 25.0 << F{}
                                                    << 0;
}

void TestPageBinder::leavingALimit()
{
    QFETCH(QString, leaveTo);
    QFETCH(QString, typed);
    QFETCH(int, answer);
    QFETCH(double, kept);
    TScriptedMessages messages;
    if (answer != NoAnswer)
        messages.Answer(answer);
    TTransmitter device("Q0003", 240);
    device.Connect();
    TBoundPages pages(device);

    TypeInto(pages.Child<TPBNumEdit>(QStringLiteral("pbneTemperLo1")), typed, pages.Child(leaveTo));

    const QString question =
        QStringLiteral("The difference between the output values is too small! Accept the given value?");
    QFETCH(bool, asked);
    QCOMPARE(messages.Texts(), asked ? QStringList{question} : QStringList{});
    QCOMPARE(device.Output().Limit(TLimitKind::Temperature, TLimitEnd::Lo), kept);
    for (const char *name : {"pbneTemperLo1", "pbneTemperLo2"}) {
        QCOMPARE(pages.Child<TPBNumEdit>(QLatin1String(name))->Value(), kept);
        QCOMPARE(pages.Child<TPBNumEdit>(QLatin1String(name))->MaxValue(), 600.0);
    }
    QTEST(pages.host.focus, "focus");
    QTEST(pages.host.saves, "saves");
    QCOMPARE(pages.host.saveEnabled, QList<bool>{true});
}

void TestPageBinder::programChangesNeverEnableSave()
{
    TTransmitter device("Q0003", 240);
    device.Connect();
    TBoundPages pages(device);
    auto *lower = pages.Child<TPBNumEdit>(QStringLiteral("pbneTemperLo1"));
    QTest::mouseClick(lower, Qt::LeftButton);
    QCOMPARE(device.Output().Controls().NumEdit(QStringLiteral("pbneTemperLo1")).Tag, 1);

    // The models change and the pages are mirrored while the user sits in
    // an edit: the shown values change, no edit counts as changed.
    device.Config().cbUnitSelect(QStringLiteral("cbCTempUnit"), 1);
    device.Output().cbMeasQuanSelect(2, 2);
    pages.host.RefreshPages();
    QCOMPARE(lower->Value(), 32.0);
    QCOMPARE(pages.Child<QComboBox>(QStringLiteral("cbCTempUnit"))->currentText(), QStringLiteral("°F"));
    QCOMPARE(pages.Child<QComboBox>(QStringLiteral("cbMeasQuan2"))->currentText(), QStringLiteral("Dew point"));
    QCOMPARE(device.Output().Controls().NumEdit(QStringLiteral("pbneTemperLo1")).Tag, 1);

    pages.other->setFocus(Qt::TabFocusReason);
    QCOMPARE(device.Output().Limit(TLimitKind::Temperature, TLimitEnd::Lo), 32.0);
    QVERIFY(pages.host.saveEnabled.isEmpty());
    QVERIFY(pages.host.focus.isEmpty());
}

PELINOR_TEST_GUI_MAIN(TestPageBinder)
#include "test_uPageBinder.moc"
