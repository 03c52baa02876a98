// Helpers shared by the command's tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "support/run_command.h"

namespace cli_testing {

using testing_support::CountLines;
using testing_support::RunVantrel;

inline std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Runs `args` on `input`: exit `status`, nothing on standard output, and one line on standard
// error that contains `message`.
inline void ExpectError(const std::string& args, int status, const std::string& message,
                        const std::string& input = "") {
    auto r = RunVantrel(args, input);
    EXPECT_EQ(r.status, status) << args;
    EXPECT_TRUE(Contains(r.err, message)) << args << ": " << r.err;
    EXPECT_EQ(CountLines(r.err), 1) << args << ": " << r.err;
    EXPECT_TRUE(r.out.empty()) << args;
}

}  // namespace cli_testing
