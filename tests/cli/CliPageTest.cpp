// tavrin-cli --page writes the same page "Test Popup" writes, and reports a
// page it cannot write on standard error with exit status 1.
#include "generator/TestPageWriter.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <sys/wait.h>

using namespace tavrin;
using namespace tavrin::test;

namespace {

struct CliRun {
    int status = -1;
    std::string output;  // standard output and standard error together
};

CliRun runCli(const std::string& arguments)
{
    CliRun run;
    const std::string command = std::string(TAVRIN_CLI) + " " + arguments + " 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace

TEST(CliPage, WritesTheTestPageOfTheGivenSettings)
{
    ScratchDir dir;
    const CliRun run = runCli("--name 'My Pop' --trigger button --days 3 --page '" + (dir / "p.htm").string() + "'");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "");

    PopupSettings s = PopupSettings::defaults();
    s.windowName = "My Pop";
    s.days = "3";
    s.trigger = PopupTrigger::OnButton;
    const GeneratedScript script = ScriptGenerator::generate(s);
    ASSERT_TRUE(TestPageWriter(dir / "expected.htm").writePage(TestPageWriter::composePage(script, PopupTrigger::OnButton)));
    EXPECT_EQ(readFile(dir / "p.htm"), readFile(dir / "expected.htm"));
}

TEST(CliPage, APageThatCannotBeWrittenIsAnErrorWithStatusOne)
{
    ScratchDir dir;
    std::filesystem::create_directory(dir / "tvtest.htm");
    const CliRun run = runCli("--page '" + (dir / "tvtest.htm").string() + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, "tavrin-cli: cannot write the test page " + (dir / "tvtest.htm").string() + ": Is a directory\n");
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"tvtest.htm"});
}
