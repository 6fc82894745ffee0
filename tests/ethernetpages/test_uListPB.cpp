#include "ethernetpages/uListPB.h"
#include "shell/uErrors.h"
#include "shell/uPBNumEdit.h"
#include "support/RaisedText.h"
#include "support/TestMainGui.h"

#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <memory>

namespace {

TPBNumEdit *Edit(QWidget *parent, const QString &name, int decimals = 1)
{
    auto *edit = new TPBNumEdit(parent);
    edit->setObjectName(name);
    edit->SetDecimals(decimals);
    return edit;
}


} // namespace

class TestListPB : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keepsExactValuesBehindRoundedEdits();
    void findsEveryEditAmongMany();
    void unlistedEditRaises();
    void plainEditDoesNotStep();
    void spinEditStepsByIncrement();
    void maxLengthAndReadOnly();
};

void TestListPB::keepsExactValuesBehindRoundedEdits()
{
    QWidget page;
    TPBNumEdit *edit = Edit(&page, QStringLiteral("pbneTempOffset"));
    TListPB list;
    list.Register(edit);
    list.Register(edit);
    QCOMPARE(list.Count(), 1);
    QSignalSpy changes(edit, &QDoubleSpinBox::valueChanged);
    list.SetValue(edit, 21.456);
    QCOMPARE(list.GetValue(edit), 21.456);
    QCOMPARE(edit->text(), QStringLiteral("21.5"));
    QCOMPARE(edit->Value(), 21.5);
    QCOMPARE(changes.count(), 0);
    // The program's own setter is silent too; a plain setValue is not.
    edit->SetValueSilent(3);
    QCOMPARE(changes.count(), 0);
    edit->setValue(4);
    QCOMPARE(changes.count(), 1);
}

void TestListPB::findsEveryEditAmongMany()
{
    // Names that differ only in case sort apart; two frames may use one name.
    const QStringList names = {"pbneB",  "pbnea", "PbneA", "pbneA", "eHigh2", "eHigh10", "pbneZ",
                               "pbneB",  "a",     "pbneC", "eLow",  "Z",      "pbneAA", "pbne_"};
    QWidget page;
    QList<TPBNumEdit *> edits;
    TListPB list;
    for (const QString &name : names) {
        edits.append(Edit(&page, name, 3));
        list.Register(edits.last());
    }
    QCOMPARE(list.Count(), names.size());
    for (int i = 0; i < edits.size(); ++i)
        list.SetValue(edits[i], 100.0 + i + 0.0001);
    // Read back out of registration order, each twice (the cached entry).
    for (int i = edits.size() - 1; i >= 0; i -= 2) {
        QCOMPARE(list.GetValue(edits[i]), 100.0 + i + 0.0001);
        QCOMPARE(list.GetValue(edits[i]), 100.0 + i + 0.0001);
    }
    for (int i = 0; i < edits.size(); i += 2)
        QCOMPARE(list.GetValue(edits[i]), 100.0 + i + 0.0001);
}

void TestListPB::unlistedEditRaises()
{
    QWidget page;
    TListPB list;
    TPBNumEdit *listed = Edit(&page, QStringLiteral("pbneListed"));
    TPBNumEdit *stranger = Edit(&page, QStringLiteral("pbneListed"));
    list.Register(listed);
    const QString text = QStringLiteral("TListPB: index out of range");
    QCOMPARE(RaisedText<ERangeError>([&] { list.GetValue(stranger); }), text);
    QCOMPARE(RaisedText<ERangeError>([&] { list.SetValue(stranger, 1); }), text);
    QCOMPARE(RaisedText<ERangeError>([&] { list.GetValue(nullptr); }), text);
    QCOMPARE(RaisedText<ERangeError>([&] { list.SetValue(nullptr, 1); }), text);
}

void TestListPB::plainEditDoesNotStep()
{
    QWidget page;
    TPBNumEdit *edit = Edit(&page, QStringLiteral("pbneAddress"), 0);
    page.show();
    QCOMPARE(edit->buttonSymbols(), QAbstractSpinBox::NoButtons);
    QVERIFY(!edit->Spin());
    edit->SetValueSilent(5);
    QTest::keyClick(edit, Qt::Key_Up);
    QTest::keyClick(edit, Qt::Key_PageUp);
    QCOMPARE(edit->Value(), 5.0);
}

void TestListPB::spinEditStepsByIncrement()
{
    QWidget page;
    TPBNumEdit *edit = Edit(&page, QStringLiteral("pbssHysteresis"), 1);
    edit->SetSpin(true);
    edit->SetIncrement(0.5);
    edit->SetMinValue(0);
    edit->SetMaxValue(2);
    page.show();
    QCOMPARE(edit->buttonSymbols(), QAbstractSpinBox::UpDownArrows);
    edit->SetValueSilent(1.5);
    QTest::keyClick(edit, Qt::Key_Up);
    QCOMPARE(edit->Value(), 2.0);
    QTest::keyClick(edit, Qt::Key_Up);
    QCOMPARE(edit->Value(), 2.0);
    QTest::keyClick(edit, Qt::Key_Down);
    QCOMPARE(edit->Value(), 1.5);
}

void TestListPB::maxLengthAndReadOnly()
{
    QWidget page;
    TPBNumEdit *edit = Edit(&page, QStringLiteral("pbneTimeout"), 0);
    edit->SetMaxLength(3);
    page.show();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("12345"));
    QCOMPARE(edit->text(), QStringLiteral("123"));
    QCOMPARE(edit->MaxLength(), 3);
    edit->SetReadOnly(true);
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("9"));
    QCOMPARE(edit->Value(), 123.0);
}

PELINOR_TEST_GUI_MAIN(TestListPB)
#include "test_uListPB.moc"
