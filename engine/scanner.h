// Scanning of program text: lines, comments, masked copies for keyword
// search, clause splitting, assignment and argument splitting.
#pragma once

#include <string>
#include <vector>

namespace tam {

std::vector<std::string> SplitLines(const std::string& text);
bool IsCommentLine(const std::string& line);
std::string MaskQuotes(const std::string& line);

// Splits the first masked piece that contains keyword; both lists grow by the
// piece that starts at the keyword.
void SplitClauses(std::vector<std::string>& pieces, std::vector<std::string>& masked, const std::string& keyword);

enum class SplitResult { kOk, kUnmatchedQuote, kUnmatchedParen };
SplitResult SplitAssignment(const std::string& line, std::string& target, std::string& expression);

std::vector<std::string> SplitArguments(const std::string& text);

}  // namespace tam
