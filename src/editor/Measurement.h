#pragma once

#include <string>

class QLineEdit;

// Lengths as the user reads and types them. Outside the text boxes every length is in inches; a box
// shows it in the locale's unit and takes either unit: `2.54cm`, `1"` or a bare `1` (inches).
enum class TMeasureSystem { msMetric, msUS };

// The locale's measurement system: centimetres in metric locales, inches in the others.
TMeasureSystem LocaleMeasureSystem();
// Two decimals in a field at least four wide, then `cm` or the inch mark.
std::string FormatMeasurement(float inches, TMeasureSystem system = LocaleMeasureSystem());
// Digits and points, spaces, an optional unit (`"` or `cm` in any case), spaces, nothing else. `inches`
// is set as soon as the number has been read, even when what follows it is refused.
bool ParseMeasurement(const std::string& text, float& inches);
// Parses the box's text; a text that does not parse says "Syntax Error in Measurement", takes the
// focus to the box and answers false.
bool ValidateMeasurement(QLineEdit& edit);
