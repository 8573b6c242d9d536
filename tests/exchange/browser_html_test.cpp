// The HTML5 page's bytes: what each kind of cell text becomes, the title and
// the field order.
#include "browser_html.h"
#include "exchange_fixtures.h"
#include "streams.h"

#include <gtest/gtest.h>

namespace quorvil {
namespace {

using test::MemoryDatabase;

std::string Written(const TJFILE& db, const std::vector<int>& fields)
{
    TMemoryStream out;
    WriteBrowserHtmlTo(db, fields, out);
    out.Seek(0);
    const std::vector<uint8_t> bytes = out.ReadRest();
    return std::string(bytes.begin(), bytes.end());
}

// The body rows of the page, one per line.
std::string BodyOf(const std::string& page)
{
    const size_t from = page.find("<tbody>\n") + 8;
    return page.substr(from, page.find("</tbody>") - from);
}

TEST(BrowserHtml, each_cell_shows_its_text_escaped_in_utf8)
{
    struct Case {
        const char* cell;
        const char* shown;
    };
    const Case cases[] = {
        {"", ""},
        {"Tom & \"Jerry\" <b>'s</b>", "Tom &amp; \"Jerry\" &lt;b&gt;'s&lt;/b&gt;"},
        {"&amp;", "&amp;amp;"},
        {"two\nlines\n", "two<br>lines<br>"},
        {"cr lf\r\nlone cr\rend", "cr lf<br>lone cr<br>end"},
        {"tab\there \f", "tab\there \f"},
        {"caf\xE9 \x80 \x9F \xFF", "caf\xC3\xA9 \xE2\x82\xAC \xC5\xB8 \xC3\xBF"},
        // C0 controls, DEL and the five bytes Windows-1252 leaves open (C1 controls).
        {"a\x01\x1F\x7F\x81\x8D\x8F\x90\x9D", "a\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
    };
    for (const Case& c : cases) {
        const auto db = MemoryDatabase({{"Name"}}, {{c.cell}});
        EXPECT_EQ(BodyOf(Written(*db, {1})), std::string("<tr><td>") + c.shown + "</td></tr>\n") << c.cell;
    }
}

TEST(BrowserHtml, title_and_the_chosen_fields_in_order)
{
    const auto db = MemoryDatabase({{"Name"}, {"Qty <n>"}, {"Note"}}, {{"pear", "3", "ripe"}, {"fig", "12", ""}},
                                   "Fruit & nuts\n\xE9t\xE9");
    const std::string page = Written(*db, {3, 0, 2, 9});
    EXPECT_NE(page.find("<title>Fruit &amp; nuts \xC3\xA9t\xC3\xA9</title>"), std::string::npos);
    EXPECT_NE(page.find("<thead>\n<tr><th>Note</th><th>Qty &lt;n&gt;</th></tr>\n</thead>"), std::string::npos);
    EXPECT_EQ(BodyOf(page), "<tr><td>ripe</td><td>3</td></tr>\n<tr><td></td><td>12</td></tr>\n");
}

}  // namespace
}  // namespace quorvil
