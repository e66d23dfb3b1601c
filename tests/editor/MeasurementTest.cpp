#include "editor/Measurement.h"

#include <QTest>

class MeasurementTest : public QObject {
    Q_OBJECT
private slots:
    void formatsInTheLocalesUnit() {
        QCOMPARE(FormatMeasurement(0.5f, TMeasureSystem::msUS), std::string("0.50\""));
        QCOMPARE(FormatMeasurement(0.5f, TMeasureSystem::msMetric), std::string("1.27cm"));
        QCOMPARE(FormatMeasurement(10.0f, TMeasureSystem::msMetric), std::string("25.40cm"));
    }

    void parsesEitherUnit() {
        for (const char* text : {"2.54cm", "2.54 CM", "2.54 cM  ", "1", "1\"", "1 \" ", "1.", "01.000"}) {
            float inches = 0;
            QVERIFY2(ParseMeasurement(text, inches) && std::abs(inches - 1.0f) < 1e-6f, text);
        }
        for (const char* text : {" 1", "-1", "1in", "1mm", "1 c", "cm", "\"", "", ".", "1..2", "1.2.3",
                                 "1cm x", "1\"\"", "1 2"}) {
            float inches = -1;
            QVERIFY2(!ParseMeasurement(text, inches), text);
        }
        float reached = 0; // the number counts once read, whatever follows it
        QVERIFY(!ParseMeasurement("3in", reached));
        QCOMPARE(reached, 3.0f);
    }
};

QTEST_MAIN(MeasurementTest)
#include "MeasurementTest.moc"
