#pragma once

#include <QString>

// The shortest decimal text that reads back to the same single-precision value, as a JSON number
// (non-finite values, which JSON cannot hold, are written as null).
QString jsonNumber(float value);
