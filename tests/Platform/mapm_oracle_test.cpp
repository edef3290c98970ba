// The decimal layer against rows computed by an independent decimal implementation
// (data/mapm-oracle.txt, written by data/make-mapm-oracle.py): divisions, roots, exponentials,
// logarithms, roundings and powers at 0 to 250 places, operands of magnitude up to 10^±400.
#include <gtest/gtest.h>

#include <charconv>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "mapm_test_support.h"

namespace {

struct OracleRow {
    int line;
    int places;
    std::vector<std::string> operands;
    std::string expected;
};

// The rows of each operation; empty when the file cannot be read.
const std::map<std::string, std::vector<OracleRow>>& oracle() {
    static const std::map<std::string, std::vector<OracleRow>> rows = [] {
        std::map<std::string, std::vector<OracleRow>> byOperation;
        std::ifstream file(NUMBERA_MAPM_ORACLE);
        std::string text;
        for (int line = 1; std::getline(file, text); ++line) {
            if (text.empty() || text[0] == '#') continue;
            std::istringstream words(text);
            std::string operation, places;
            std::vector<std::string> rest;
            words >> operation >> places;
            for (std::string word; words >> word;) rest.push_back(word);
            OracleRow row{line, -1, {}, {}};
            std::from_chars(places.data(), places.data() + places.size(), row.places);
            if (!rest.empty()) {
                row.expected = rest.back();
                rest.pop_back();
            }
            row.operands = rest;
            byOperation[operation].push_back(row);
        }
        return byOperation;
    }();
    return rows;
}

// The layer's answer for a row, in the oracle's form; "(bad row)" for a malformed one.
std::string answer(const std::string& operation, const OracleRow& row, int& digits) {
    const size_t count = row.operands.size();
    if (row.places < 0 || count < 1 || count > 2) return "(bad row)";
    const Dec a(row.operands[0].c_str());
    const Dec b(count == 2 ? row.operands[1].c_str() : "0");
    const int places = row.places;
    Dec r;
    if (operation == "divide" && count == 2)
        m_apm_divide(r, places, a, b);
    else if (operation == "pow" && count == 2)
        m_apm_pow(r, places, a, b);
    else if (count != 1)
        return "(bad row)";
    else if (operation == "sqrt")
        m_apm_sqrt(r, places, a);
    else if (operation == "exp")
        m_apm_exp(r, places, a);
    else if (operation == "ln")
        m_apm_log(r, places, a);
    else if (operation == "log10")
        m_apm_log10(r, places, a);
    else if (operation == "round")
        m_apm_round(r, places, a);
    else
        return "(bad row)";
    digits = m_apm_significant_digits(r);
    return r.sci(places);
}

class MapmOracle : public ::testing::TestWithParam<const char*> {};

TEST_P(MapmOracle, AgreesWithAnIndependentImplementation) {
    const std::string operation = GetParam();
    const auto found = oracle().find(operation);
    ASSERT_NE(found, oracle().end()) << "no rows in " << NUMBERA_MAPM_ORACLE;
    const std::vector<OracleRow>& rows = found->second;
    EXPECT_GT(rows.size(), 300u);
    int wrong = 0;
    for (const OracleRow& row : rows) {
        int digits = 0;
        const std::string got = answer(operation, row, digits);
        // The result holds no more digits than asked for, and they are the right ones.
        if (got == row.expected && digits <= row.places + 1) continue;
        if (++wrong <= 10)
            ADD_FAILURE() << "mapm-oracle.txt line " << row.line << ": " << operation << " "
                          << row.places << " places of " << row.operands[0]
                          << (row.operands.size() > 1 ? " and " + row.operands[1] : "")
                          << "\n  expected " << row.expected << "\n       got " << got << " ("
                          << digits << " digits)";
    }
    EXPECT_EQ(wrong, 0) << "of " << rows.size() << " rows";
}

INSTANTIATE_TEST_SUITE_P(Operations, MapmOracle,
                         ::testing::Values("divide", "sqrt", "exp", "ln", "log10", "round", "pow"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });

}  // namespace
