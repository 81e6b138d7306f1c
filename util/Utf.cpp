// UTF-8 decoding by the Unicode "maximal subpart" rule, and UTF-16 encoding and decoding, by hand:
// the standard library's converters are deprecated and differ between the C++ runtimes we build with.
#include "util/Utf.h"

namespace util {

namespace {

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

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendUtf16(std::u16string& out, char32_t codePoint)
{
    // A lone surrogate passes as the unit it is, as it does where wchar_t is UTF-16 already.
    if (codePoint > 0x10FFFF) codePoint = kReplacementCharacter;
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

// Calls emit with each code point of the units; an unpaired surrogate gives U+FFFD.
template <typename Emit>
void DecodeUtf16(std::u16string_view units, Emit emit)
{
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (IsHighSurrogate(c) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (char32_t{units[i + 1]} - 0xDC00);
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            c = kReplacementCharacter;
        }
        emit(c);
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
            out.push_back(kReplacementCharacter);
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
        out.push_back(complete ? codePoint : kReplacementCharacter);
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
    DecodeUtf16(units, [&](char32_t c) { AppendUtf8(out, c); });
    return out;
}

std::wstring Utf8ToWide(std::string_view utf8)
{
    if constexpr (sizeof(wchar_t) == sizeof(char16_t)) {
        const std::u16string units = Utf8ToUtf16(utf8);
        return std::wstring(units.begin(), units.end());
    } else {
        const std::u32string codePoints = DecodeUtf8(utf8);
        return std::wstring(codePoints.begin(), codePoints.end());
    }
}

std::u16string WideToUtf16(std::wstring_view wide)
{
    std::u16string out;
    out.reserve(wide.size());
    if constexpr (sizeof(wchar_t) == sizeof(char16_t)) {
        for (const wchar_t c : wide) out.push_back(static_cast<char16_t>(c));
    } else {
        for (const wchar_t c : wide) AppendUtf16(out, static_cast<char32_t>(c));
    }
    return out;
}

std::wstring Utf16ToWide(std::u16string_view units)
{
    std::wstring out;
    out.reserve(units.size());
    if constexpr (sizeof(wchar_t) == sizeof(char16_t)) {
        for (const char16_t c : units) out.push_back(static_cast<wchar_t>(c));
    } else {
        DecodeUtf16(units, [&](char32_t c) { out.push_back(static_cast<wchar_t>(c)); });
    }
    return out;
}

std::string WideToUtf8(std::wstring_view wide) { return Utf16ToUtf8(WideToUtf16(wide)); }

} // namespace util
