#include "text/SearchSyntax.h"

#include <cctype>

#include "text/Exceptions.h"

std::string TranslateSearchText(std::string_view typed, std::string_view lineBreak) {
    std::string bytes;
    for (size_t i = 0; i < typed.size(); ++i) {
        if (typed[i] != '^' || i + 1 == typed.size()) {
            bytes += typed[i];
            continue;
        }
        const char code = typed[++i];
        if (std::isdigit(static_cast<unsigned char>(code))) {
            const std::string_view digits = typed.substr(i, 3);
            bool number = true;
            int value = 0;
            for (char d : digits) {
                number = number && std::isdigit(static_cast<unsigned char>(d));
                value = value * 10 + (d - '0');
            }
            if (!number || value > 255)
                throw EUserError("Code after the ^ must be between 0 and 255 and be three digits long");
            bytes += static_cast<char>(value);
            i += digits.size() - 1;
            continue;
        }
        switch (code) {
        case 'p':
        case 'P':
            bytes += lineBreak;
            break;
        case 't':
        case 'T':
            bytes += '\t';
            break;
        case 'l':
        case 'L':
            bytes += '\f';
            break;
        case '^':
            bytes += '^';
            break;
        default:
            throw EUserError("Unknown Character in search/replace text");
        }
    }
    return bytes;
}
