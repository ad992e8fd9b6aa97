// The leading whole number of a typed text.
#include "app/gui/leading_number.h"

#include <algorithm>

namespace axolite::gui {

long long leadingNumber(const QString& text) {
    int i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = std::min(value * 10 + (text[i].unicode() - u'0'), 1000000000000LL);
    }
    return negative ? -value : value;
}

} // namespace axolite::gui
