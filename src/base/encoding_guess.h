// Tells the encodings that users hand the tools by mistake from the
// Windows-1252 they read: a dictionary or pages saved as UTF-8 read every
// umlaut and the sharp s as two wrong letters.
#pragma once

#include <string_view>

namespace scanmend {

// Whether `bytes` look like UTF-8 rather than Windows-1252: they hold
// several valid multi-byte UTF-8 sequences ("\xC3\xA4" for a-umlaut) and
// few bytes beyond ASCII outside them.
bool looksLikeUtf8(std::string_view bytes);

// Whether `bytes` are UTF-8 through and through, with at least one
// character beyond ASCII: for a short text of the user's, where one
// umlaut must tell, and Windows-1252 text is rarely valid UTF-8.
bool isUtf8BeyondAscii(std::string_view bytes);

}  // namespace scanmend
