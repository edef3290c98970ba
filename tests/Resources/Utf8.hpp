// Just enough UTF-8 to check names character by character and to fold their case.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace resources_test {

// The code points of a UTF-8 text; no value when the text is not valid UTF-8.
std::optional<std::u32string> decodeUtf8(std::string_view text);
std::string encodeUtf8(std::u32string_view text);
// Simple (one-to-one) Unicode lower-casing, as the foundation's lower-cased strings use.
std::string lowercaseUtf8(std::string_view text);

}  // namespace resources_test
