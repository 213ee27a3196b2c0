#include "ofd_codec.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

namespace {

// A path longer than this is cut there and reported as malformed.
const size_t kMaxPathSegments = 1 << 20;

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// Splits at white space (and commas, which some writers put between coordinates).
std::vector<std::string_view> Tokens(const std::string &text)
{
    std::vector<std::string_view> tokens;
    // Room for the most tokens a short text can hold: growing the list would copy it each time.
    tokens.reserve(std::min<size_t>(text.size() / 2 + 1, 256));
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || IsSpace(text[i]) || text[i] == ',') {
            if (i > start)
                tokens.emplace_back(text.data() + start, i - start);
            start = i + 1;
        }
    }
    return tokens;
}

// Plain decimals ("-12.5") of up to 15 digits, at most 10 of them after the point, as path
// texts nearly always hold them. The digits and the power of ten are exact doubles and their
// quotient is rounded once; no such quotient lands on a midpoint between two floats unless
// the decimal itself does, so rounding it to float gives the float nearest the decimal, as
// the full conversion does. False for anything else.
bool PlainFloat(std::string_view token, float &value)
{
    static const double powers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10};
    const char *at = token.data();
    const char *const end = at + token.size();
    const bool negative = at != end && *at == '-';
    if (negative)
        ++at;
    uint64_t digits = 0; // wraps only for more digits than are taken
    int count = 0;
    for (; at != end && *at >= '0' && *at <= '9'; ++at, ++count)
        digits = digits * 10 + uint64_t(*at - '0');
    if (count == 0)
        return false;
    int decimals = 0;
    if (at != end && *at == '.') {
        for (++at; at != end && *at >= '0' && *at <= '9'; ++at, ++decimals)
            digits = digits * 10 + uint64_t(*at - '0');
        if (decimals == 0)
            return false;
    }
    if (at != end || count + decimals > 15 || decimals > 10)
        return false;
    const float magnitude = float(double(digits) / powers[decimals]);
    value = negative ? -magnitude : magnitude;
    return true;
}

// A finite decimal number and nothing else.
bool ParseFloat(std::string_view token, float &value)
{
    if (PlainFloat(token, value))
        return true;
    const char *first = token.data();
    const char *last = first + token.size();
    const bool plus = first != last && *first == '+';
    if (plus)
        ++first;
    if (first == last || *first == '+' || (plus && *first == '-'))
        return false;
    // from_chars also reads "inf" and "nan", which OFD has no use for.
    for (const char *p = first; p != last; ++p) {
        const char c = *p;
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == 'e' || c == 'E' || c == '+'))
            return false;
    }
    float parsed = 0;
    const auto result = std::from_chars(first, last, parsed, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != last || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

std::string FixedText(float value, int decimals)
{
    if (std::isnan(value))
        return "0";
    if (std::isinf(value))
        value = value > 0 ? std::numeric_limits<float>::max() : -std::numeric_limits<float>::max();
    // 39 integer digits at most, so 60 decimals always fit.
    char buffer[128];
    const auto result = decimals < 0
        ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed)
        : std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, std::min(decimals, 60));
    std::string text(buffer, result.ptr);
    if (decimals > 0 && text.find('.') != std::string::npos) {
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.')
            text.pop_back();
    }
    // Negative zero, or a small negative rounded away.
    if (text.find_first_not_of("-0.") == std::string::npos)
        return "0";
    return text;
}

int OperandCount(char op)
{
    switch (op) {
    case 'S':
    case 'M':
    case 'L':
        return 2;
    case 'Q':
        return 4;
    case 'B':
        return 6;
    case 'A':
        return 7;
    case 'C':
        return 0;
    default:
        return -1;
    }
}

} // namespace

CCA_String OFD_FloatToString(float value)
{
    return CCA_String(FixedText(value, -1));
}

CCA_String OFD_PathToString(const CCA_Path &path)
{
    std::string text;
    auto put = [&text](const char *op, const float *v, int count) {
        if (!text.empty())
            text += ' ';
        text += op;
        for (int i = 0; i < count; ++i) {
            text += ' ';
            text += FixedText(v[i], -1);
        }
    };
    for (const CCA_Path::Segment &s : path.Segments()) {
        switch (s.type) {
        case CCA_Path::Move:
            put("M", s.v, 2);
            break;
        case CCA_Path::Line:
            put("L", s.v, 2);
            break;
        case CCA_Path::Quad:
            put("Q", s.v, 4);
            break;
        case CCA_Path::Cubic:
            put("B", s.v, 6);
            break;
        case CCA_Path::Arc: {
            float v[7];
            std::memcpy(v, s.v, sizeof v);
            v[3] = v[3] != 0 ? 1 : 0;
            v[4] = v[4] != 0 ? 1 : 0;
            put("A", v, 7);
            break;
        }
        case CCA_Path::Close:
            put("C", nullptr, 0);
            break;
        }
    }
    return CCA_String(text);
}

CCA_Path OFD_StringToPath(const CCA_String &text, bool *ok)
{
    CCA_Path path;
    const std::string &source = text.StdString();
    const std::vector<std::string_view> tokens = Tokens(source);
    // Every segment starts with its one-letter operator.
    size_t operators = 0;
    for (const std::string_view token : tokens)
        operators += token.size() == 1 && OperandCount(token[0]) >= 0;
    path.Reserve(int(std::min<size_t>(operators, kMaxPathSegments)));
    size_t i = 0;
    bool good = true;
    while (i < tokens.size()) {
        if (path.Segments().size() >= kMaxPathSegments) {
            good = false;
            break;
        }
        const std::string_view opToken = tokens[i];
        const int count = opToken.size() == 1 ? OperandCount(opToken[0]) : -1;
        if (count < 0 || i + size_t(count) >= tokens.size()) {
            good = false;
            break;
        }
        float v[7] = {0, 0, 0, 0, 0, 0, 0};
        for (int k = 0; k < count && good; ++k)
            good = ParseFloat(tokens[i + 1 + size_t(k)], v[k]);
        if (!good)
            break;
        switch (opToken[0]) {
        case 'S':
        case 'M':
            path.MoveTo(v[0], v[1]);
            break;
        case 'L':
            path.LineTo(v[0], v[1]);
            break;
        case 'Q':
            path.QuadTo(v[0], v[1], v[2], v[3]);
            break;
        case 'B':
            path.BezierTo(v[0], v[1], v[2], v[3], v[4], v[5]);
            break;
        case 'A':
            path.ArcTo(v[0], v[1], v[2], v[3] != 0, v[4] != 0, v[5], v[6]);
            break;
        case 'C':
            path.CloseFigure();
            break;
        }
        i += 1 + size_t(count);
    }
    if (ok)
        *ok = good;
    return path;
}

CCA_String OFD_ArrayToString(const CCA_ArrayTemplate<float> &values, int precision)
{
    std::string text;
    for (int i = 0; i < values.GetSize(); ++i) {
        if (i > 0)
            text += ' ';
        text += FixedText(values[i], precision > 0 ? precision : -1);
    }
    return CCA_String(text);
}

CCA_ArrayTemplate<float> OFD_StringToArray(const CCA_String &text, int expectedCount, bool *ok)
{
    CCA_ArrayTemplate<float> values;
    bool good = true;
    for (std::string_view token : Tokens(text.StdString())) {
        float v = 0;
        if (!ParseFloat(token, v)) {
            good = false;
            break;
        }
        values.Add(v);
    }
    if (good && expectedCount > 0 && values.GetSize() < expectedCount)
        good = false;
    if (!good)
        values.RemoveAll();
    if (ok)
        *ok = good;
    return values;
}
