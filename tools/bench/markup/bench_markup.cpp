// Parse throughput of CLayoutMarkup (UTF-8 decoding included) against
// pugixml's parse of the same bytes, on a generated layout of about 20 MB.
// Built against pugixml in narrow mode (the bytes stay UTF-8) and in
// wide-character mode (PUGIXML_WCHAR_MODE: decoded to UTF-16 like ours).
#include "ui/core/layout_markup.h"

#include <pugixml.hpp>

#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

const int kRounds = 9;

std::string GenerateLayout(size_t target)
{
    std::mt19937 random(7);
    const char* const texts[] = {"\xE5\x8D\x87\xE7\xBA\xA7\xE4\xB8\xAD\xEF\xBC\x8C\xE8\xAF\xB7\xE7\xA8\x8D\xE5\x80\x99",
        "Upgrade &amp; restart", "&lt;b&gt;bold&lt;/b&gt;", "\xE7\xA1\xAE\xE5\xAE\x9A", "plain text here"};
    std::string layout = "<!-- \xE4\xB8\xBB\xE7\xAA\x97\xE4\xBD\x93 -->\r\n<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                         "<Window size=\"500,310\" caption=\"0,0,0,36\">\r\n"
                         "  <Font shared=\"true\" id=\"1\" name=\"Microsoft YaHei\" size=\"12\" />\r\n";
    int block = 0;
    while (layout.size() < target) {
        int id = block++;
        layout += "  <VerticalLayout name=\"Panel_" + std::to_string(id)
            + "\" bordersize=\"1\" bordercolor=\"#FF33374A\" bkcolor=\"#FF17212E\" childalign=\"center\">\r\n";
        layout += "    <!-- row " + std::to_string(id) + " -->\r\n";
        layout += "    <HorizontalLayout height=\"36\" inset=\"16,4,4,4\">\r\n";
        layout += "      <Label name=\"Title_" + std::to_string(id) + "\" width=\"" + std::to_string(random() % 500)
            + "\" text=\"" + texts[random() % 5] + "\" textcolor=\"#FFA4B8C8\" font=\"1\" />\r\n";
        layout += "      <Button name=\"Close_" + std::to_string(id)
            + "\" width=\"28\" height=\"28\" normalimage=\"file='img/icon_close.png' source='0,0,28,28'\" "
              "hotimage=\"file='img/icon_close.png' source='28,0,56,28'\" />\r\n";
        layout += "    </HorizontalLayout>\r\n";
        layout += "    <RichEdit name=\"Msg_" + std::to_string(id)
            + "\" vscrollbarstyle=\"width=&quot;6&quot; thumbnormalimage=&quot;file='img/v.png'&quot;\">"
            + texts[random() % 5] + "</RichEdit>\r\n";
        layout += "    <Container></Container>\r\n";
        layout += "  </VerticalLayout>\r\n";
    }
    layout += "</Window>\r\n";
    return layout;
}

double Seconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

size_t CountPugiElements(const pugi::xml_node& node)
{
    size_t count = 0;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element)
            count += 1 + CountPugiElements(child);
    }
    return count;
}

// Seconds of one parse by ours, or a negative value when it failed.
double TimeOurs(const std::string& layout, uint32_t& elements)
{
    SkinUI::CLayoutMarkup markup;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    bool parsed = markup.LoadBytes(layout.data(), layout.size(), SkinUI::kMarkupUtf8);
    QueryPerformanceCounter(&end);
    if (!parsed) {
        fprintf(stderr, "markup failed: %ls\n", markup.LastErrorMessage());
        return -1;
    }
    elements = markup.ElementCount();
    return Seconds(start, end);
}

double TimePugixml(const std::string& layout, size_t& elements)
{
    pugi::xml_document document;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    pugi::xml_parse_result result = document.load_buffer(layout.data(), layout.size());
    QueryPerformanceCounter(&end);
    if (!result) {
        fprintf(stderr, "pugixml failed: %s\n", result.description());
        return -1;
    }
    elements = CountPugiElements(document);
    return Seconds(start, end);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main()
{
    const std::string layout = GenerateLayout(20u * 1000 * 1000);
    const double megabytes = static_cast<double>(layout.size()) / 1e6;

    // Each round runs both back to back, in alternating order, so that a
    // change in the machine's load hits both; the ratio is the rounds' median.
    std::vector<double> ours;
    std::vector<double> theirs;
    std::vector<double> ratios;
    uint32_t ourElements = 0;
    size_t theirElements = 0;
    for (int round = 0; round < kRounds; ++round) {
        double oursTook = 0;
        double theirsTook = 0;
        if (round % 2 == 0) {
            oursTook = TimeOurs(layout, ourElements);
            theirsTook = TimePugixml(layout, theirElements);
        } else {
            theirsTook = TimePugixml(layout, theirElements);
            oursTook = TimeOurs(layout, ourElements);
        }
        if (oursTook < 0 || theirsTook < 0)
            return 1;
        ours.push_back(oursTook);
        theirs.push_back(theirsTook);
        ratios.push_back(theirsTook / oursTook);
    }
    if (ourElements != theirElements) {
        fprintf(stderr, "element counts differ: %u against %u\n", ourElements, static_cast<unsigned>(theirElements));
        return 1;
    }
#ifdef PUGIXML_WCHAR_MODE
    const char* mode = "wide";
#else
    const char* mode = "narrow";
#endif
    double oursBest = *std::min_element(ours.begin(), ours.end());
    double theirsBest = *std::min_element(theirs.begin(), theirs.end());
    fprintf(stderr, "layout %.1f MB, %u elements, %d rounds: ours best %.1f ms, pugixml (%s) best %.1f ms, "
        "ratio per round %.2f to %.2f\n", megabytes, ourElements, kRounds, oursBest * 1e3, mode, theirsBest * 1e3,
        *std::min_element(ratios.begin(), ratios.end()), *std::max_element(ratios.begin(), ratios.end()));
#ifdef PUGIXML_WCHAR_MODE
    printf("markup.pugixml_wide_mbps: %.1f\n", megabytes / theirsBest);
    printf("markup.pugixml_wide_ratio: %.2f\n", Median(ratios));
#else
    printf("markup.mbps: %.1f\n", megabytes / oursBest);
    printf("markup.pugixml_mbps: %.1f\n", megabytes / theirsBest);
    printf("markup.speed_ratio: %.2f\n", Median(ratios));
#endif
    return 0;
}
