#include "SimFloat.h"

#include <QTest>

class TestSimFloat : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void knownValues_data();
    void knownValues();
    void decodeSpecialExponents_data();
    void decodeSpecialExponents();
    void roundTripKeepsSinglePrecision();
};

void TestSimFloat::knownValues_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<quint32>("bytes");
    QTest::newRow("1.0") << 1.0 << 0x80000000u;
    QTest::newRow("-1.0") << -1.0 << 0x80800000u;
    QTest::newRow("23.5") << 23.5 << 0x843C0000u;
    QTest::newRow("-30.0") << -30.0 << 0x84F00000u;
    QTest::newRow("0.5") << 0.5 << 0x7F000000u;
    QTest::newRow("1013.25") << 1013.25 << 0x897D5000u;
    QTest::newRow("0.0") << 0.0 << 0x00000000u;
}

void TestSimFloat::knownValues()
{
    QFETCH(double, value);
    QFETCH(quint32, bytes);
    const SimFloat::Words words = SimFloat::Encode(value);
    QCOMPARE((static_cast<quint32>(words[0]) << 16) | words[1], bytes);
    QCOMPARE(SimFloat::Decode(words), value);
}

void TestSimFloat::decodeSpecialExponents_data()
{
    QTest::addColumn<quint16>("first");
    QTest::addColumn<quint16>("second");
    QTest::addColumn<double>("value");
    QTest::newRow("exponent below 0x20 reads 0") << quint16(0x0012) << quint16(0x3456) << 0.0;
    QTest::newRow("exponent 0x1F reads 0") << quint16(0x1F7F) << quint16(0xFFFF) << 0.0;
    QTest::newRow("exponent 0xFF is the error marker") << quint16(0xFF00) << quint16(0x0000) << -1.0e10;
    QTest::newRow("any marker mantissa") << quint16(0xFF80) << quint16(0x1234) << -1.0e10;
}

void TestSimFloat::decodeSpecialExponents()
{
    QFETCH(quint16, first);
    QFETCH(quint16, second);
    QFETCH(double, value);
    QCOMPARE(SimFloat::Decode(first, second), value);
}

void TestSimFloat::roundTripKeepsSinglePrecision()
{
    const SimFloat::Words marker = SimFloat::Encode(std::nan(""));
    QCOMPARE(marker, SimFloat::ErrorMarker());
    QCOMPARE(marker[0], quint16(0xFF00));
    for (double x : {-1000.0, -0.1, 22.4, 1200.0, 65535.0}) {
        const double back = SimFloat::Decode(SimFloat::Encode(x));
        QCOMPARE(back, static_cast<double>(static_cast<float>(x)));
    }
}

QTEST_GUILESS_MAIN(TestSimFloat)
#include "test_SimFloat.moc"
