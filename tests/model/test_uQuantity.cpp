#include "model/uQuantity.h"

#include "shell/uErrors.h"
#include "support/RaisedText.h"
#include "support/TestEnvironment.h"

#include <QTest>

namespace {

// A quantity slot that records its change notifications.
struct TRecordedQuantity {
    TQuantity quantity;
    QList<TQuantityChange> changes;

    explicit TRecordedQuantity(int type = QuantityType::None)
    {
        quantity.SetQuantityType(quint8(type));
        quantity.OnChange = [this](TQuantity &, TQuantityChange kind) { changes.append(kind); };
    }
};

// A slot with its own unit text, to see the plain-text switch from inside.
class TBracketedQuantity : public TQuantity {
public:
    QString GetUnitText() const override
    {
        return PlainUnits() ? QStringLiteral("plain") : QStringLiteral("[%1]").arg(TQuantity::GetUnitText());
    }
};


} // namespace

class TestQuantity : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void freshSlot();
    void dewPointOnFreshSlot();
    void quantityTypeReportsOnlyTheQuantityChange();
    void quantityTypeKeepsOtherConfigurationBits();
    void invalidQuantityType();
    void quantityWord_data();
    void quantityWord();
    void temperatureUnitWord_data();
    void temperatureUnitWord();
    void pressureUnitWord_data();
    void pressureUnitWord();
    void unitWordReportsUnitChanges();
    void co2Interpretation_data();
    void co2Interpretation();
    void otherSlotsKeepTheWholeUnitWord();
    void setUnitType();
    void setterErrors_data();
    void setterErrors();
    void unitTexts();
    void plainTextThroughTheVirtualText();
    void setValue();
    void convertUnit_data();
    void convertUnit();
    void unsupportedConversions_data();
    void unsupportedConversions();
};

void TestQuantity::freshSlot()
{
    const TQuantity q;
    QCOMPARE(q.GetQuantityType(), QuantityType::None);
    QCOMPARE(q.GetUnitType(), UnitType::None);
    QCOMPARE(q.GetInterpretation(), ValueInterpretation::Immediate);
    QCOMPARE(q.GetValue(), 0.0);
    QCOMPARE(q.QuantityWord(), quint16(0));
    QCOMPARE(q.UnitWord(), quint16(0));
    QCOMPARE(q.GetName(), QStringLiteral("Computed quantity"));
    QCOMPARE(q.GetDecimals(), 0);
    QVERIFY(!q.IsMeasured());
}

void TestQuantity::dewPointOnFreshSlot()
{
    TRecordedQuantity r;
    r.quantity.SetQuantityType(QuantityType::DewPoint);
    QCOMPARE(r.quantity.QuantityWord(), quint16(0x0008));
    QCOMPARE(r.quantity.GetUnitType(), UnitType::Celsius);
    QCOMPARE(r.quantity.GetName(), QStringLiteral("Dew point"));
    QCOMPARE(r.changes, QList<TQuantityChange>({TQuantityChange::Quantity}));
}

// A new quantity takes its default unit and interpretation silently, and the
// handler is attached again afterwards.
void TestQuantity::quantityTypeReportsOnlyTheQuantityChange()
{
    TRecordedQuantity r(QuantityType::CO2);
    r.quantity.SetInterpretation(ValueInterpretation::Average);
    r.quantity.SetQuantityType(QuantityType::Temperature);
    QCOMPARE(r.quantity.GetUnitType(), UnitType::Celsius);
    QCOMPARE(r.quantity.GetInterpretation(), ValueInterpretation::Immediate);
    QCOMPARE(r.changes, QList<TQuantityChange>({TQuantityChange::Interpretation, TQuantityChange::Quantity}));
    r.quantity.SetUnitType(UnitType::Fahrenheit);
    QCOMPARE(r.changes.last(), TQuantityChange::Unit);
    QVERIFY(r.quantity.IsMeasured());
}

void TestQuantity::quantityTypeKeepsOtherConfigurationBits()
{
    TRecordedQuantity r;
    r.quantity.SetQuantityWord(0x8401);
    r.quantity.SetQuantityType(QuantityType::AbsoluteHumidity);
    QCOMPARE(r.quantity.QuantityWord(), quint16(0x8201));
    // Humidex has no code: selecting it clears the computed-quantity bits.
    r.quantity.SetQuantityType(QuantityType::Humidex);
    QCOMPARE(r.quantity.QuantityWord(), quint16(0x8001));
    QCOMPARE(r.quantity.GetUnitType(), UnitType::Celsius);

    // The code is written even when the type is already selected.
    TQuantity none;
    none.SetQuantityWord(0x0208);
    none.SetQuantityType(QuantityType::None);
    QCOMPARE(none.QuantityWord(), quint16(0x0000));
}

void TestQuantity::invalidQuantityType()
{
    TRecordedQuantity r;
    r.quantity.SetQuantityWord(0x0808);
    const QString message = RaisedText<ERangeError>([&r] { r.quantity.SetQuantityType(16); });
    QCOMPARE(message, QStringLiteral("TQuantity: invalid quantity type"));
    QCOMPARE(r.quantity.QuantityWord(), quint16(0x0808));
    QCOMPARE(r.quantity.GetQuantityType(), QuantityType::None);
}

void TestQuantity::quantityWord_data()
{
    QTest::addColumn<quint16>("word");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("unit");
    QTest::newRow("no computed bits") << quint16(0xE1F7) << 0 << 0;
    QTest::newRow("dew point") << quint16(0x0008) << 10 << 2;
    QTest::newRow("absolute humidity") << quint16(0x0200) << 11 << 14;
    QTest::newRow("specific humidity, other bits kept") << quint16(0x8401) << 12 << 15;
    QTest::newRow("mixing ratio") << quint16(0x0800) << 13 << 15;
    QTest::newRow("specific enthalpy") << quint16(0x1000) << 14 << 16;
    QTest::newRow("two computed bits") << quint16(0x0208) << 0 << 0;
}

void TestQuantity::quantityWord()
{
    QFETCH(quint16, word);
    QFETCH(int, type);
    QFETCH(int, unit);
    TRecordedQuantity r(QuantityType::Temperature);
    r.quantity.SetQuantityWord(word);
    QCOMPARE(int(r.quantity.GetQuantityType()), type);
    QCOMPARE(int(r.quantity.GetUnitType()), unit);
    QCOMPARE(r.quantity.QuantityWord(), word);
    QCOMPARE(r.changes, QList<TQuantityChange>({TQuantityChange::Quantity}));
}

void TestQuantity::temperatureUnitWord_data()
{
    QTest::addColumn<quint16>("word");
    QTest::addColumn<int>("unit");
    QTest::addColumn<quint16>("unitWord");
    QTest::newRow("bit 0 set") << quint16(0x0001) << 3 << quint16(0x0001);
    QTest::newRow("bit 0 clear") << quint16(0x0000) << 2 << quint16(0x0000);
    QTest::newRow("with pressure bits") << quint16(0x001D) << 3 << quint16(0x0001);
    QTest::newRow("other bits kept") << quint16(0xFFFE) << 2 << quint16(0xFFE2);
}

void TestQuantity::temperatureUnitWord()
{
    QFETCH(quint16, word);
    QFETCH(int, unit);
    QFETCH(quint16, unitWord);
    TQuantity q;
    q.SetQuantityType(QuantityType::Temperature);
    q.SetUnitWord(word);
    QCOMPARE(int(q.GetUnitType()), unit);
    QCOMPARE(q.UnitWord(), unitWord);
}

void TestQuantity::pressureUnitWord_data()
{
    QTest::addColumn<quint16>("word");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("decimals");
    QTest::newRow("0 hPa") << quint16(0x0000) << 5 << QStringLiteral("hPa") << 1;
    QTest::newRow("1 PSI") << quint16(0x0004) << 6 << QStringLiteral("PSI") << 3;
    QTest::newRow("2 inHg") << quint16(0x0008) << 7 << QStringLiteral("inHg") << 2;
    QTest::newRow("3 mBar") << quint16(0x000C) << 8 << QStringLiteral("mBar") << 1;
    QTest::newRow("4 oz/in") << quint16(0x0010) << 9 << QStringLiteral("oz/in") << 1;
    QTest::newRow("5 mmHg") << quint16(0x0014) << 10 << QStringLiteral("mmHg") << 1;
    QTest::newRow("6 inH2O") << quint16(0x0018) << 11 << QStringLiteral("inH2O") << 1;
    QTest::newRow("7 kPa") << quint16(0x001C) << 12 << QStringLiteral("kPa") << 2;
    QTest::newRow("kPa beside the temperature bit") << quint16(0x801D) << 12 << QStringLiteral("kPa") << 2;
}

void TestQuantity::pressureUnitWord()
{
    QFETCH(quint16, word);
    QFETCH(int, unit);
    QFETCH(QString, text);
    QFETCH(int, decimals);
    TQuantity q;
    q.SetQuantityType(QuantityType::Pressure);
    q.SetUnitWord(word);
    QCOMPARE(int(q.GetUnitType()), unit);
    QCOMPARE(q.GetUnitText(), text);
    QCOMPARE(q.GetDecimals(), decimals);
    QCOMPARE(q.UnitWord(), quint16(word & 0xFFFE));
}

void TestQuantity::unitWordReportsUnitChanges()
{
    TRecordedQuantity r(QuantityType::Pressure);
    r.quantity.SetUnitWord(0x0000);
    QVERIFY(r.changes.isEmpty());
    r.quantity.SetUnitWord(0x0004);
    r.quantity.SetUnitWord(0x0004);
    QCOMPARE(r.changes, QList<TQuantityChange>({TQuantityChange::Unit}));
}

void TestQuantity::co2Interpretation_data()
{
    QTest::addColumn<quint16>("word");
    QTest::addColumn<int>("interpretation");
    QTest::addColumn<quint16>("unitWord");
    QTest::newRow("bit 2 set") << quint16(0x0004) << 1 << quint16(0x0004);
    QTest::newRow("bit 2 clear") << quint16(0x0000) << 0 << quint16(0x0000);
    QTest::newRow("bit 0 dropped") << quint16(0x0005) << 1 << quint16(0x0004);
    QTest::newRow("other bits kept") << quint16(0xFFFB) << 0 << quint16(0xFFFA);
}

void TestQuantity::co2Interpretation()
{
    QFETCH(quint16, word);
    QFETCH(int, interpretation);
    QFETCH(quint16, unitWord);
    TQuantity q;
    q.SetQuantityType(QuantityType::CO2);
    q.SetUnitWord(word);
    QCOMPARE(int(q.GetInterpretation()), interpretation);
    QCOMPARE(q.UnitWord(), unitWord);
    QCOMPARE(q.GetUnitType(), UnitType::Ppm);

    q.SetUnitWord(0x0001);
    q.SetInterpretation(ValueInterpretation::Average);
    QCOMPARE(q.UnitWord(), quint16(0x0004));
}

void TestQuantity::otherSlotsKeepTheWholeUnitWord()
{
    TQuantity q;
    q.SetQuantityType(QuantityType::RelativeHumidity);
    q.SetUnitWord(0x001D);
    QCOMPARE(q.UnitWord(), quint16(0x001D));
    QCOMPARE(q.GetUnitType(), UnitType::Percent);
}

void TestQuantity::setUnitType()
{
    TRecordedQuantity r(QuantityType::Pressure);
    r.quantity.SetUnitWord(0xFF00);
    r.quantity.SetUnitType(UnitType::InH2O);
    QCOMPARE(r.quantity.UnitWord(), quint16(0xFF18));
    r.quantity.SetUnitType(UnitType::InH2O);
    QCOMPARE(r.changes, QList<TQuantityChange>({TQuantityChange::Unit}));
    // The unspecified unit fits every quantity and has no bits.
    r.quantity.SetUnitType(UnitType::Unspecified);
    QCOMPARE(r.quantity.UnitWord(), quint16(0xFF00));
    QCOMPARE(r.quantity.GetDecimals(), 3);
}

void TestQuantity::setterErrors_data()
{
    QTest::addColumn<bool>("interpretation");  // else unit
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("pressure unit on temperature") << false << 5 << QStringLiteral("TQuantity: unsupported unit type");
    QTest::newRow("unit 17") << false << 17 << QStringLiteral("TQuantity: invalid unit type");
    QTest::newRow("average temperature") << true << 1
                                         << QStringLiteral("TQuantity: unsupported interpretation of the value");
    QTest::newRow("interpretation 2") << true << 2
                                      << QStringLiteral("TQuantity: invalid interpretation of the value");
}

void TestQuantity::setterErrors()
{
    QFETCH(bool, interpretation);
    QFETCH(int, code);
    QFETCH(QString, message);
    TRecordedQuantity r(QuantityType::Temperature);
    r.quantity.SetUnitWord(0x0001);
    const QString raised = RaisedText<ERangeError>([&] {
        if (interpretation)
            r.quantity.SetInterpretation(quint8(code));
        else
            r.quantity.SetUnitType(quint8(code));
    });
    QCOMPARE(raised, message);
    QCOMPARE(r.quantity.GetUnitType(), UnitType::Fahrenheit);
    QCOMPARE(r.quantity.GetInterpretation(), ValueInterpretation::Immediate);
    QCOMPARE(r.quantity.UnitWord(), quint16(0x0001));
    QCOMPARE(r.changes.size(), 1);
}

void TestQuantity::unitTexts()
{
    TQuantity q;
    q.SetQuantityType(QuantityType::AbsoluteHumidity);
    QCOMPARE(q.GetUnitText(), QStringLiteral("g/m\u00B3"));
    QCOMPARE(q.GetUnitTextPlain(), QStringLiteral("g/m3"));
    QCOMPARE(q.GetUnitText(), QStringLiteral("g/m\u00B3"));
    q.SetQuantityType(QuantityType::Temperature);
    QCOMPARE(q.GetUnitText(), QStringLiteral("\u00B0C"));
    QCOMPARE(q.GetUnitTextPlain(), QStringLiteral("\u00B0C"));
    q.SetUnitType(UnitType::Fahrenheit);
    QCOMPARE(q.GetUnitText(), QStringLiteral("\u00B0F"));
}

void TestQuantity::plainTextThroughTheVirtualText()
{
    TBracketedQuantity q;
    q.SetQuantityType(QuantityType::RelativeHumidity);
    QCOMPARE(q.GetUnitTextPlain(), QStringLiteral("plain"));
    QVERIFY(!q.PlainUnits());
    QCOMPARE(q.GetUnitText(), QStringLiteral("[%]"));
}

void TestQuantity::setValue()
{
    TRecordedQuantity r(QuantityType::Temperature);
    r.quantity.SetValue(23.5);
    r.quantity.SetValue(23.5);
    QCOMPARE(r.quantity.GetValue(), 23.5);
    QCOMPARE(r.changes, QList<TQuantityChange>({TQuantityChange::Value}));
}

void TestQuantity::convertUnit_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("result");
    QTest::newRow("C to F") << 2 << 3 << 100.0 << 212.0;
    QTest::newRow("F to C") << 3 << 2 << 212.0 << 100.0;
    QTest::newRow("C to C") << 2 << 2 << 21.7 << 21.7;
    QTest::newRow("F to F") << 3 << 3 << -40.0 << -40.0;
    QTest::newRow("hPa to kPa") << 5 << 12 << 1013.25 << 101.325;
    QTest::newRow("kPa to PSI") << 12 << 6 << 100.0 << 14.50377;
    QTest::newRow("inHg to mmHg") << 7 << 10 << 1.0 << 0.75006158 / 0.02953007;
    QTest::newRow("mBar to hPa") << 8 << 5 << 998.0 << 998.0;
    QTest::newRow("to unspecified") << 5 << 1 << 1013.25 << 1013.25;
    QTest::newRow("from no unit") << 0 << 3 << 7.0 << 7.0;
    QTest::newRow("unspecified either side of ppm") << 13 << 1 << 400.0 << 400.0;
}

void TestQuantity::convertUnit()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(double, x);
    QFETCH(double, result);
    QCOMPARE(ConvertUnit(quint8(from), quint8(to), x), result);
}

void TestQuantity::unsupportedConversions_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("ppm to ppm") << 13 << 13;
    QTest::newRow("C to hPa") << 2 << 5;
    QTest::newRow("hPa to C") << 5 << 2;
    QTest::newRow("F to kPa") << 3 << 12;
    QTest::newRow("percent to percent") << 4 << 4;
    QTest::newRow("g/m3 to g/kg") << 14 << 15;
    QTest::newRow("unit 17") << 17 << 5;
}

void TestQuantity::unsupportedConversions()
{
    QFETCH(int, from);
    QFETCH(int, to);
    try {
        ConvertUnit(quint8(from), quint8(to), 1.0);
        QFAIL("no error raised");
    } catch (const EConvertError &e) {
        QCOMPARE(e.Message(), QStringLiteral("TQuantity: unsupported conversion"));
    }
}

PELINOR_TEST_MAIN(TestQuantity)
#include "test_uQuantity.moc"
