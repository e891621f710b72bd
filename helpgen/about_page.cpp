#include "helpgen/about_page.h"

#include "core/file_io.h"
#include "core/safe_output.h"

namespace qw {

namespace fs = std::filesystem;

namespace {

const Lines& aboutLines() {
    static const Lines lines = {
        "<HTML><HEAD><TITLE>About HTMLHelp Quirewright</TITLE><style>a:active,a:link,a:visited:"
        "{color:#CCCCFF;}a:hover:{color:#FFFF99;}</style></HEAD>",
        "<BODY BGCOLOR=\"#000066\" TEXT=\"#CCCCFF\" LeftMargin=\"0\" RightMargin=\"0\" "
        "LINK=\"#CCCCFF\" VLINK=\"#CCCCFF\" ALINK=\"#CCCCFF\"><Center>",
        "<TABLE Border=\"0\" Cellspacing=\"0\" Cellpadding=\"0\"><TR><TD ALIGN=\"CENTER\"><I>This "
        "eDocument Was Created Using:</I><BR></TD></TR><TR><TD ALIGN=\"CENTER\">&nbsp;</TD>",
        "</TR><TR><TD ALIGN=\"CENTER\"><img src=\"quirew.gif\" Height=\"91\" Width=\"329\" "
        "alt=\"HTMLHelp Quirewright\"></TD></TR><TR><TD ALIGN=\"CENTER\"><B>Electronic-"
        "Documentation Creation Made Easy</B>",
        "<P><B>HTMLHelp Quirewright is free to download from <A "
        "HREF=\"https://quirewright.example.org/\">https://quirewright.example.org/</A></B></P>"
        "</TD></TR>",
        "<TR><TD ALIGN=\"CENTER\">&nbsp;<BR><SMALL>From the same makers: the DOVAZaze browser "
        "eDocument tree, built into HTMLHelp Quirewright.</SMALL></TD></TR></TABLE></Center>"
        "</BODY></HTML>",
    };
    return lines;
}

} // namespace

std::vector<fs::path> writeAboutPage(OutputGuard& guard, const fs::path& dataDir) {
    std::vector<fs::path> written;
    const fs::path logo = dataDir / "quirew.gif";
    if (fileExists(logo)) {
        const fs::path target = guard.projectDir() / "quirew.gif";
        guard.copy(logo, target);
        written.push_back(target);
    }
    // The page's first line marks it as the program's own.
    const fs::path page = guard.projectDir() / "aboutjmp.htm";
    guard.writeLines(page, aboutLines(), Replace::Own, false);
    written.push_back(page);
    return written;
}

} // namespace qw
