// Finding where in a JSON text a value sits, so that errors can name a line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vantorel::render {

// One step into a JSON document: a member name or an array index.
using PathStep = std::variant<std::string, std::size_t>;
using JsonPath = std::vector<PathStep>;

// "objects[2].radius"; "(top level)" for the empty path.
std::string describePath(const JsonPath& path);

// 1-based line of the byte at offset.
int lineOfOffset(std::string_view text, std::size_t offset);

// 1-based line where the value at path starts in text, which must be valid JSON. When the path
// leads nowhere, the line of the deepest value on it that exists.
int lineOfPath(std::string_view text, const JsonPath& path);

} // namespace vantorel::render
