#include "start_options.h"

#include "quorvil_version.h"

#include <QCommandLineParser>

namespace quorvil {

namespace {

QString Utf8(const char* text)
{
    return QString::fromUtf8(text);
}

}  // namespace

TStartOptions ParseStartOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    // "-platformtheme" must not read as -p -l -a ... -h.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(Utf8("Opens JFile databases (.PDB) for editing, one tab each, up to eight.\n"
                                          "Without a FILE it opens the database opened last."));
    const QCommandLineOption help({Utf8("h"), Utf8("help")}, Utf8("Show this help and exit."));
    const QCommandLineOption version({Utf8("v"), Utf8("version")}, Utf8("Show the version and exit."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(Utf8("FILE"),
                                 Utf8("A database file, a folder (its .PDB files) or a pattern with * and ?; "
                                      "a name without '.' gets \".PDB\". Put \"--\" before a name that starts "
                                      "with '-'."),
                                 Utf8("[FILE...]"));

    TStartOptions options;
    const bool parsed = parser.parse(arguments);
    if (parser.isSet(help)) {
        options.Action = TStartOptions::TAction::Help;
        // Without an application object Qt names no program.
        options.Text = parser.helpText().replace(Utf8("<executable_name>"), Utf8("quorvil"));
    } else if (parser.isSet(version)) {
        options.Action = TStartOptions::TAction::Version;
        options.Text = Utf8("quorvil ") + Utf8(kVersion) + QLatin1Char('\n');
    } else if (!parsed) {
        options.Action = TStartOptions::TAction::Refuse;
        options.Text = Utf8("quorvil: ") + parser.errorText() + Utf8("\nTry \"quorvil --help\".\n");
    } else {
        options.Files = parser.positionalArguments();
    }
    return options;
}

int ExitStatus(const TStartOptions& options)
{
    return options.Action == TStartOptions::TAction::Refuse ? 2 : 0;
}

}  // namespace quorvil
