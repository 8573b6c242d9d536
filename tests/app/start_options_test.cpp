// The editor's command line: what opens, what only prints, what is refused.
#include "quorvil_version.h"
#include "start_options.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

using TAction = TStartOptions::TAction;

QStringList List(std::initializer_list<const char*> texts)
{
    QStringList list;
    for (const char* text : texts)
        list << QString::fromUtf8(text);
    return list;
}

QStringList Args(std::initializer_list<const char*> texts)
{
    return QStringList{QStringLiteral("quorvil")} + List(texts);
}

TEST(StartOptions, files_open_and_options_decide_what_else_happens)
{
    const struct {
        QStringList arguments;
        TAction action;
        QStringList files;
    } cases[] = {
        {Args({}), TAction::Open, {}},
        {Args({"a.pdb", "/data/b", "*.PDB"}), TAction::Open, List({"a.pdb", "/data/b", "*.PDB"})},
        {Args({"--", "-odd name.pdb", "--help"}), TAction::Open, List({"-odd name.pdb", "--help"})},
        {Args({"a.pdb", "--help"}), TAction::Help, {}},
        {Args({"-h"}), TAction::Help, {}},
        {Args({"--version"}), TAction::Version, {}},
        {Args({"-v", "a.pdb"}), TAction::Version, {}},
        // Qt's options before QApplication takes them: -platformtheme is no -h.
        {Args({"-platformtheme", "gtk3", "--version"}), TAction::Version, {}},
        {Args({"-platformtheme", "gtk3"}), TAction::Refuse, {}},
        {Args({"--bogus", "a.pdb"}), TAction::Refuse, {}},
    };
    for (const auto& c : cases) {
        const TStartOptions options = ParseStartOptions(c.arguments);
        const QString shown = c.arguments.join(QLatin1Char(' '));
        EXPECT_EQ(options.Action, c.action) << shown.toStdString();
        EXPECT_EQ(options.Files, c.files) << shown.toStdString();
        EXPECT_EQ(ExitStatus(options), c.action == TAction::Refuse ? 2 : 0) << shown.toStdString();
    }
}

TEST(StartOptions, the_printed_texts_name_the_program_its_version_and_the_refused_option)
{
    EXPECT_EQ(ParseStartOptions(Args({"--version"})).Text.toStdString(), "quorvil " + std::string(kVersion) + "\n");

    const std::string help = ParseStartOptions(Args({"--help"})).Text.toStdString();
    EXPECT_EQ(help.rfind("Usage: quorvil [options] [FILE...]\n", 0), 0u) << help;
    for (const char* part : {"-h, --help", "-v, --version", "FILE"})
        EXPECT_NE(help.find(part), std::string::npos) << part;

    EXPECT_EQ(ParseStartOptions(Args({"--bogus"})).Text.toStdString(),
              "quorvil: Unknown option 'bogus'.\nTry \"quorvil --help\".\n");
}

}  // namespace
}  // namespace quorvil
