#pragma once

#include <QString>

// Playing times as the catalogue stores them ("hh:mm:ss") and as whole seconds.

// Hours, minutes and seconds of a duration text; the separators are not examined. A text that
// is empty, too short or not made of digits counts as 0 seconds.
double GetSeconds(const QString& duration);

// "hh:mm:ss", each field two digits; ten hours or more show every hour digit ("123:04:05").
QString SecondstoTime(double seconds);
