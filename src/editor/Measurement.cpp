#include "editor/Measurement.h"

#include <charconv>
#include <cstdio>

#include <QLineEdit>
#include <QLocale>

#include "text/MessageBox.h"

TMeasureSystem LocaleMeasureSystem() {
    return QLocale().measurementSystem() == QLocale::MetricSystem ? TMeasureSystem::msMetric
                                                                  : TMeasureSystem::msUS;
}

std::string FormatMeasurement(float inches, TMeasureSystem system) {
    const bool metric = system == TMeasureSystem::msMetric;
    char text[64];
    std::snprintf(text, sizeof text, "%4.2f%s", metric ? inches * 2.54 : inches, metric ? "cm" : "\"");
    return text;
}

bool ParseMeasurement(const std::string& text, float& inches) {
    size_t at = 0;
    while (at < text.size() && ((text[at] >= '0' && text[at] <= '9') || text[at] == '.'))
        ++at;
    const std::string number = text.substr(0, at);
    // A lone point, or a second one, is no number.
    if (number.find_first_of("0123456789") == std::string::npos || number.find('.') != number.rfind('.'))
        return false;
    double value = 0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    inches = static_cast<float>(value);
    auto skipSpaces = [&] {
        while (at < text.size() && text[at] == ' ')
            ++at;
    };
    skipSpaces();
    if (at < text.size()) {
        if (text[at] == '"') {
            ++at;
        } else if (at + 1 < text.size() && (text[at] == 'c' || text[at] == 'C') &&
                   (text[at + 1] == 'm' || text[at + 1] == 'M')) {
            at += 2;
            inches = static_cast<float>(value * 0.3937007874015748);
        } else {
            return false;
        }
    }
    skipSpaces();
    return at == text.size();
}

bool ValidateMeasurement(QLineEdit& edit) {
    float inches = 0;
    if (ParseMeasurement(edit.text().toStdString(), inches)) return true;
    MessageDlg("Syntax Error in Measurement", TMsgDlgType::mtError, TMsgButtons::mbOK);
    edit.setFocus();
    return false;
}
