// Each subcommand's help comes from its declarations: every declared option is in it, and every
// option it names is one the subcommand accepts.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "cli.h"

namespace {

class Help : public testing::TestWithParam<cli::Command> {};

TEST_P(Help, NamesEveryDeclaredOptionAndOnlyThose) {
    const cli::Command& command = GetParam();
    const std::string help = cli::HelpText(command);
    EXPECT_EQ(help.rfind(std::string("usage: vantrel ") + command.name, 0), 0u) << help;
    std::set<std::string> declared = {"--help"};
    for (const cli::Option& o : command.options) {
        declared.insert(o.name);
        EXPECT_TRUE(std::regex_search(help, std::regex("\n  " + std::string(o.name) + "[ \n]")))
            << o.name << " is not listed in\n"
            << help;
    }
    const std::regex named("--[a-z][a-z0-9-]*");
    for (auto it = std::sregex_iterator(help.begin(), help.end(), named);
         it != std::sregex_iterator(); ++it) {
        // An option of another subcommand is named with it ('vantrel measure --help').
        EXPECT_TRUE(declared.count(it->str()))
            << it->str() << " is not an option of " << command.name;
    }
}

INSTANTIATE_TEST_SUITE_P(EverySubcommand, Help, testing::ValuesIn(cli::Commands()),
                         [](const testing::TestParamInfo<cli::Command>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
