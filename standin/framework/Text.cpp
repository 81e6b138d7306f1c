// UTF-8 decoding by the Unicode "maximal subpart" rule, and UTF-16 encoding and decoding.
#include "standin/framework/Text.h"

#include <cstdint>

namespace standin::text {

namespace {

constexpr char32_t Replacement = 0xFFFD;

// The range the second byte of a sequence must fall in, by lead byte; the later bytes are always
// 0x80 to 0xBF. These ranges exclude overlong forms, surrogates and values above U+10FFFF.
struct LeadRule {
    int length = 0; // 0: not a lead byte
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
};

LeadRule RuleFor(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF};
    if (lead == 0xE0) return {3, 0xA0, 0xBF};
    if (lead == 0xED) return {3, 0x80, 0x9F};
    if (lead >= 0xE1 && lead <= 0xEF) return {3, 0x80, 0xBF};
    if (lead == 0xF0) return {4, 0x90, 0xBF};
    if (lead >= 0xF1 && lead <= 0xF3) return {4, 0x80, 0xBF};
    if (lead == 0xF4) return {4, 0x80, 0x8F};
    return {};
}

void AppendUtf16(std::u16string& out, char32_t codePoint)
{
    if (codePoint < 0x10000) {
        out.push_back(static_cast<char16_t>(codePoint));
        return;
    }
    const char32_t offset = codePoint - 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
}

void AppendUtf8(std::string& out, char32_t codePoint)
{
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

} // namespace

std::u32string DecodeUtf8(std::string_view utf8)
{
    std::u32string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        const LeadRule rule = RuleFor(lead);
        if (rule.length == 0) {
            out.push_back(Replacement);
            ++i;
            continue;
        }
        char32_t codePoint = lead & (0xFF >> (rule.length + 1));
        std::size_t taken = 1;
        bool complete = true;
        for (int k = 1; k < rule.length; ++k) {
            if (i + taken >= utf8.size()) {
                complete = false;
                break;
            }
            const auto next = static_cast<unsigned char>(utf8[i + taken]);
            const unsigned char low = k == 1 ? rule.low : 0x80;
            const unsigned char high = k == 1 ? rule.high : 0xBF;
            if (next < low || next > high) {
                complete = false;
                break;
            }
            codePoint = (codePoint << 6) | (next & 0x3F);
            ++taken;
        }
        // A broken sequence is replaced once as a whole, and the byte that broke it is read again.
        out.push_back(complete ? codePoint : Replacement);
        i += taken;
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8)
{
    std::u16string out;
    out.reserve(utf8.size());
    for (const char32_t codePoint : DecodeUtf8(utf8)) AppendUtf16(out, codePoint);
    return out;
}

std::string Utf16ToUtf8(std::u16string_view units)
{
    std::string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{units[i + 1]} - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUtf8(out, Replacement);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

std::wstring Utf8ToWide(std::string_view utf8)
{
    std::wstring out;
    if constexpr (sizeof(wchar_t) == sizeof(char16_t)) {
        for (const char16_t unit : Utf8ToUtf16(utf8)) out.push_back(static_cast<wchar_t>(unit));
    } else {
        for (const char32_t codePoint : DecodeUtf8(utf8)) out.push_back(static_cast<wchar_t>(codePoint));
    }
    return out;
}

} // namespace standin::text
