#pragma once

#include <array>

// What each byte may be in plain markup, as the host's own XML readers take it: ASCII names,
// white space of spaces, tabs and line feeds, and text and attribute values of printable
// ASCII without markup or references. A reader meeting anything else hands the part to expat.
namespace OFD_XmlBytes {

// The declaration most parts begin with; it says no more than a part without one.
inline constexpr char kUsualDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

enum Class : unsigned char {
    NameStart = 1,
    NameChar = 2,
    Space = 4,
    TextByte = 8,  // taken as it is in text; not ']', as "]]>" may not stand there
    ValueByte = 16 // taken as it is in an attribute value; not quotes, tabs or line feeds
};

constexpr std::array<unsigned char, 256> Classes()
{
    std::array<unsigned char, 256> classes{};
    for (int c = 0x20; c < 0x80; ++c)
        classes[size_t(c)] = TextByte | ValueByte;
    for (const char c : {'<', '&'})
        classes[static_cast<unsigned char>(c)] = 0;
    classes[']'] = ValueByte;
    classes['"'] = classes['\''] = TextByte;
    classes[' '] |= Space;
    classes['\t'] = classes['\n'] = Space | TextByte;
    for (int c = 0; c < 26; ++c)
        classes[size_t('a' + c)] = classes[size_t('A' + c)] = TextByte | ValueByte | NameStart | NameChar;
    classes['_'] = classes[':'] = TextByte | ValueByte | NameStart | NameChar;
    for (int c = 0; c < 10; ++c)
        classes[size_t('0' + c)] |= NameChar;
    classes['-'] |= NameChar;
    classes['.'] |= NameChar;
    return classes;
}

inline constexpr std::array<unsigned char, 256> kClasses = Classes();

inline bool Is(unsigned char c, Class wanted)
{
    return kClasses[c] & wanted;
}

inline bool Is(char c, Class wanted)
{
    return Is(static_cast<unsigned char>(c), wanted);
}

} // namespace OFD_XmlBytes
