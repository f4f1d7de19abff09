#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace hv {
class RunReport;
}

namespace hv::cli {

// The version of the documents the command line writes; it grows with every change that
// could break a reader of an older one.
inline constexpr int kJsonVersion = 1;

// The document as text. Names that are no UTF-8 (a file name's bytes) are written with
// replacement characters, since JSON holds only text.
std::string JsonText(const nlohmann::json& document);

// The items of the report with their entries, and its totals. itemKeys holds the key of
// each reported item, in the report's order.
nlohmann::json ItemsJson(const RunReport& report, const std::vector<std::string>& itemKeys);
nlohmann::json TotalsJson(const RunReport& report);

}  // namespace hv::cli
