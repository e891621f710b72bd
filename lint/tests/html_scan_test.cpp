#include "lint/html_scan.h"

#include <gtest/gtest.h>

namespace qw {
namespace {

std::vector<std::string> values(std::string_view line, ReferenceKind kind) {
    std::vector<LineReference> refs;
    scanLine(line, refs, nullptr);
    std::vector<std::string> out;
    for (const LineReference& ref : refs)
        if (ref.kind == kind)
            out.push_back(ref.value);
    return out;
}

TEST(HtmlScanTest, FindsLinksFilesPicturesAndAnchorsOfALine) {
    const std::string line =
        R"x(<A HREF="a.htm#x" id=top><img SRC='b.gif' alt="x=1"> <td background=c.jpg>)x"
        R"x(<div style="background:url( 'd.png' )"><param name="Button" value="Bitmap:e.bmp">)x"
        R"x( <a data-qw-width="80%" href = "f.htm" a=src="g.gif">)x";
    EXPECT_EQ(values(line, ReferenceKind::Link), (std::vector<std::string>{"a.htm#x", "f.htm"}));
    EXPECT_EQ(values(line, ReferenceKind::File),
              (std::vector<std::string>{"b.gif", "c.jpg", "d.png"}));
    EXPECT_EQ(values(line, ReferenceKind::Bitmap), std::vector<std::string>{"e.bmp"});
    std::vector<LineReference> refs;
    std::vector<std::string> anchors;
    scanLine(line, refs, &anchors);
    EXPECT_EQ(anchors, (std::vector<std::string>{"top", "Button"}));
}

TEST(HtmlScanTest, OnlyTagsCountAndATagMayGoOnOverLines) {
    HtmlScanner scanner;
    std::vector<LineReference> refs;
    std::vector<std::string> anchors;
    const std::vector<std::string> lines = {
        "<pre>data = (Word_Info *) f(src=x); a < b</pre><!-- <a href=\"old.htm\"> ",
        "<img src=\"old.gif\"> --> <a class=\"x\"", "   href=\"next.htm\" title='two",
        "lines' name=here>text id=no</a>", "<p style=\"background: url(pic.png)\">"};
    for (const std::string& line : lines)
        scanner.scanLine(line, refs, &anchors);
    ASSERT_EQ(refs.size(), 2u);
    EXPECT_EQ(refs[0].value, "next.htm");
    EXPECT_EQ(refs[1].value, "pic.png");
    EXPECT_EQ(anchors, std::vector<std::string>{"here"});
}

TEST(HtmlScanTest, ClassifiesWhereAReferenceLeads) {
    struct Case {
        const char* value;
        TargetKind kind;
        const char* path;
        const char* fragment;
    };
    const Case cases[] = {
        {"page.htm", TargetKind::Local, "page.htm", ""},
        {" sub\\my%20page.htm?q=1#part ", TargetKind::Local, "sub/my page.htm", "part"},
        {"#top", TargetKind::SamePage, "", "top"},
        {"#", TargetKind::SamePage, "", ""},
        {"?x#y", TargetKind::SamePage, "", "y"},
        {"http://example.com/a.htm", TargetKind::Ignored, "", ""},
        {"mailto:me@example.com", TargetKind::Ignored, "", ""},
        {"javascript:void(0)", TargetKind::Ignored, "", ""},
        {"ms-its:other.chm::/a.htm", TargetKind::Ignored, "", ""},
        {"'+name+'.htm", TargetKind::Ignored, "", ""},
        {"", TargetKind::Ignored, "", ""},
        {"C:\\pics\\a.gif", TargetKind::Absolute, "C:\\pics\\a.gif", ""},
        {"/usr/share/a.gif", TargetKind::Absolute, "/usr/share/a.gif", ""},
        {"file:///tmp/a.gif", TargetKind::Absolute, "file:///tmp/a.gif", ""},
        {"dir/a:b.htm", TargetKind::Local, "dir/a:b.htm", ""},
    };
    for (const Case& c : cases) {
        const Target target = classifyReference(c.value);
        EXPECT_EQ(target.kind, c.kind) << c.value;
        EXPECT_EQ(target.path, c.path) << c.value;
        EXPECT_EQ(target.fragment, c.fragment) << c.value;
    }
}

} // namespace
} // namespace qw
