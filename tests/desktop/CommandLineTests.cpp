#include "core/settings/CommandLine.h"

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

// What a file manager hands over with "Exec=mosaiq %F": every path, spaces and all.
TEST(EditorCommandLine, FilesAreEveryArgumentThatIsNoOption) {
    const QStringList args{QStringLiteral("mosaiq"), QStringLiteral("/home/u/My Collage.dcf"),
                           QStringLiteral("pack.irs"), QStringLiteral("/p/photo 1.jpg")};
    EXPECT_EQ(FileArgumentsOf(args), args.mid(1));
    EXPECT_TRUE(FileArgumentsOf({QStringLiteral("mosaiq")}).isEmpty());
}

TEST(EditorCommandLine, OptionsAreNoFilesUntilDoubleDash) {
    const QStringList args{QStringLiteral("mosaiq"),        QStringLiteral("--verbose"),
                           QStringLiteral("a.dcf"),         QStringLiteral("--"),
                           QStringLiteral("-odd name.jpg"), QStringLiteral("--")};
    EXPECT_EQ(FileArgumentsOf(args),
              (QStringList{QStringLiteral("a.dcf"), QStringLiteral("-odd name.jpg"),
                           QStringLiteral("--")}));
}

TEST(EditorCommandLine, InformationOptionsAreAnsweredOnlyBeforeDoubleDash) {
    testing::internal::CaptureStdout();
    EXPECT_TRUE(AnswerInformationOptions({QStringLiteral("mosaiq"), QStringLiteral("--help")}));
    EXPECT_TRUE(AnswerInformationOptions(
        {QStringLiteral("mosaiq"), QStringLiteral("x.dcf"), QStringLiteral("--version")}));
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("usage: mosaiq [FILE...]"), std::string::npos);
    EXPECT_NE(out.find("mosaiq " MOSAIQ_VERSION), std::string::npos);

    EXPECT_FALSE(AnswerInformationOptions({QStringLiteral("mosaiq"), QStringLiteral("x.dcf")}));
    EXPECT_FALSE(AnswerInformationOptions(
        {QStringLiteral("mosaiq"), QStringLiteral("--"), QStringLiteral("--help")}));
}

TEST(EditorCommandLine, AnUnknownOptionIsNamedUntilDoubleDash) {
    const auto unknown = [](std::initializer_list<const char*> args) {
        QStringList list{QStringLiteral("mosaiq")};
        for (const char* a : args)
            list << QString::fromUtf8(a);
        return UnknownOption(list);
    };
    EXPECT_EQ(unknown({"a.dcf", "--bogus", "-x"}), QStringLiteral("--bogus"));
    EXPECT_EQ(unknown({"-x"}), QStringLiteral("-x"));
    EXPECT_EQ(unknown({"--help", "--version", "-h", "a.dcf"}), QString());
    EXPECT_EQ(unknown({"--", "--bogus"}), QString());
    EXPECT_EQ(unknown({}), QString());
}

TEST(EditorCommandLine, ArgumentListKeepsTheProgramNameAndLocalText) {
    char program[] = "mosaiq";
    char file[] = "caf\xc3\xa9.dcf";
    char* argv[] = {program, file};
    EXPECT_EQ(ArgumentList(2, argv),
              (QStringList{QStringLiteral("mosaiq"), QString::fromUtf8("café.dcf")}));
}

} // namespace
} // namespace mosaiq
