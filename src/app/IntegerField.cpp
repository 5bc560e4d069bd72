#include "app/IntegerField.h"

#include "app/StoredInt.h"

IntegerFieldResult CheckIntegerField(const std::string& text, int min, int max)
{
    IntegerFieldResult r;
    int value = 0;
    if (!ParseStoredInt(text, value)) {
        r.message = "Please enter an integer.";
        return r;
    }
    if (value < min || value > max) {
        r.message = "Please enter an integer between " + std::to_string(min) + " and " + std::to_string(max) + ".";
        return r;
    }
    r.value = value;
    return r;
}
