#pragma once

#include <string>
#include <vector>

namespace tarvik {

// File dialogs take their filters from the string table in the "Name (*.a;*.b)|*.a; *.b|...||" form
// of the original resources; Qt wants "Name (*.a *.b)" entries. Each pair of the table's filter
// becomes one entry: its name without the bracketed pattern list, then the patterns of the second
// field ("*.*" reads as "*").
std::vector<std::string> QtNameFilters(const std::string& table_filter);

// The n-th field of a "\n"-separated resource string (the document string 151); "" beyond the end.
std::string ResourceField(const std::string& text, int index);

}  // namespace tarvik
