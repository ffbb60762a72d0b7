// Pictures on the off-screen canvas, checked pixel by pixel: outlines and fills
// with their special colours, fill rules, corners, ellipses, hatches and text.

#include "platform/cairo/picture.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace platform;

constexpr Color kBlack = 0x000000;
constexpr Color kRed = 0xFF0000;
constexpr Color kGreen = 0x00FF00;
constexpr Color kBlue = 0x0000FF;

// A 200 x 200 window with the game's centred, y-up coordinates: user (x, y) is
// device column x + 100, row 100 - y.
PlatformHandle MakeWindow(int width = 200, int height = 200) {
    return test_support::MakeCentredWindow(width, height, kBlack, kBlack);
}

int CountColor(const Platform& platform, Color color, int width = 200, int height = 200) {
    int count = 0;
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) count += DevicePixelAt(platform, column, row) == color;
    return count;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void DrawStar(Platform& platform, int fill_mode) {
    PointF star[5];
    for (int i = 0; i < 5; ++i) {
        double angle = std::numbers::pi / 2 + i * 4 * std::numbers::pi / 5;
        star[i] = PointF{static_cast<float>(80 * std::cos(angle)), static_cast<float>(80 * std::sin(angle))};
    }
    GraphicPolygon(platform, star, 5, kRed, kBlue, FillStyle::Solid, fill_mode);
}

TEST(CanvasFigureTest, OutlineAndFillColoursWithTheirSpecialValues) {
    PlatformHandle platform = MakeWindow();
    const PointF square[4] = {{-50, 50}, {50, 50}, {50, -50}, {-50, -50}};
    GraphicPolygon(*platform, square, 4, kRed, kTransparent, FillStyle::Solid, 0);
    EXPECT_EQ(PixelAt(*platform, 0, 0), kBlack);  // hollow: only the outline
    EXPECT_EQ(PixelAt(*platform, -50, 0), kRed);
    EXPECT_EQ(PixelAt(*platform, 50, 10), kRed);
    EXPECT_EQ(PixelAt(*platform, 0, -50), kRed);

    GraphicPolygon(*platform, square, 4, kRed, kDefaultColor, FillStyle::Solid, 0);
    EXPECT_EQ(PixelAt(*platform, 0, 0), kRed);  // fill -1 is the outline's colour

    GraphicSetColor(*platform, kGreen, kUnchanged);
    GraphicPolygon(*platform, square, 4, kDefaultColor, kBlue, FillStyle::Solid, 0);
    EXPECT_EQ(PixelAt(*platform, -50, 0), kGreen);  // outline -1 is the foreground
    EXPECT_EQ(PixelAt(*platform, 0, 0), kBlue);

    // Out-of-range point counts draw nothing.
    GraphicClear(*platform);
    GraphicPolygon(*platform, square, 1, kRed, kRed, FillStyle::Solid, 0);
    GraphicPolygon(*platform, square, 1025, kRed, kRed, FillStyle::Solid, 0);
    EXPECT_EQ(CountColor(*platform, kBlack), 200 * 200);
}

TEST(CanvasFigureTest, WindingFillsTheStarCentreAndEvenOddLeavesIt) {
    PlatformHandle winding = MakeWindow();
    DrawStar(*winding, 0);
    PlatformHandle even_odd = MakeWindow();
    DrawStar(*even_odd, 1);
    EXPECT_EQ(PixelAt(*winding, 0, 0), kBlue);
    EXPECT_EQ(PixelAt(*even_odd, 0, 0), kBlack);
    // The points of the star are inside under both rules.
    EXPECT_EQ(PixelAt(*winding, 0, 60), kBlue);
    EXPECT_EQ(PixelAt(*even_odd, 0, 60), kBlue);
}

// A window's canvas fills polygons pixel by pixel itself; a recorded picture
// is filled by Cairo when it is replayed. Both set the same pixels, also where
// corners on half and quarter pixels put an edge exactly between two of them.
TEST(CanvasFigureTest, DirectFillsSetThePixelsCairoSets) {
    OffscreenOptions options;
    options.width = options.height = 200;
    options.record_vector = true;
    PlatformHandle recorded = CreateOffscreenPlatform(options);
    ASSERT_TRUE(OpenGraphicWindow(*recorded, "test", 0, 0, 200, 200));
    GraphicSetScale(*recorded, -100, 100, 100, -100);
    PlatformHandle direct = MakeWindow();
    const int pitch = PicturePitch(*direct);
    std::vector<std::uint32_t> cairo_fill(static_cast<std::size_t>(pitch / 4) * 200), own_fill(cairo_fill.size());
    std::mt19937 random(15);
    std::uniform_int_distribution<int> quarter(-440, 440), corners(3, 7);
    for (int polygon = 0; polygon < 200; ++polygon) {
        PointF points[7];
        const int count = corners(random);
        for (int i = 0; i < count; ++i)
            points[i] = PointF{static_cast<float>(quarter(random)) / 4, static_cast<float>(quarter(random)) / 4};
        for (Platform* window : {recorded.get(), direct.get()}) {
            GraphicSetColor(*window, kBlack, kBlack);
            GraphicClear(*window);
            GraphicPolygon(*window, points, count, kTransparent, kBlue, FillStyle::Solid, polygon % 2);
        }
        CopyPictureTo(*recorded, cairo_fill.data(), pitch);
        CopyPictureTo(*direct, own_fill.data(), pitch);
        int differing = 0;
        for (std::size_t i = 0; i < own_fill.size(); ++i) differing += ((cairo_fill[i] ^ own_fill[i]) & 0xFFFFFF) != 0;
        ASSERT_EQ(differing, 0) << "polygon " << polygon << " of " << count << " corners";
    }
}

TEST(CanvasFigureTest, CornersBeyondHundredPercentDrawAsHundred) {
    PlatformHandle full = MakeWindow();
    GraphicBox(*full, -60, 40, 60, -40, 100, kRed, kBlue, FillStyle::Solid);
    PlatformHandle over = MakeWindow();
    GraphicBox(*over, -60, 40, 60, -40, 150, kRed, kBlue, FillStyle::Solid);
    PlatformHandle square = MakeWindow();
    GraphicBox(*square, -60, 40, 60, -40, 0, kRed, kBlue, FillStyle::Solid);
    int differing = 0;
    for (int row = 0; row < 200; ++row)
        for (int column = 0; column < 200; ++column)
            differing += DevicePixelAt(*full, column, row) != DevicePixelAt(*over, column, row);
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(PixelAt(*square, -59, 39), kBlue);  // a square corner is filled ...
    EXPECT_EQ(PixelAt(*full, -59, 39), kBlack);   // ... a fully rounded one is not
    EXPECT_EQ(PixelAt(*full, 0, 0), kBlue);
    EXPECT_EQ(PixelAt(*full, 0, 40), kRed);
}

TEST(CanvasFigureTest, EllipseMarkerDrawsTheInscribedEllipse) {
    PlatformHandle platform = MakeWindow();
    GraphicBox(*platform, -80, 40, 80, -40, kEllipseCorner, kRed, kBlue, FillStyle::Solid);
    EXPECT_EQ(PixelAt(*platform, 0, 0), kBlue);
    EXPECT_EQ(PixelAt(*platform, 70, 0), kBlue);
    EXPECT_EQ(PixelAt(*platform, 80, 0), kRed);    // the ends touch the box
    EXPECT_EQ(PixelAt(*platform, 0, 40), kRed);
    EXPECT_EQ(PixelAt(*platform, 75, 35), kBlack);  // the box corners stay empty
    EXPECT_EQ(PixelAt(*platform, -75, -35), kBlack);
    EXPECT_EQ(PixelAt(*platform, 0, 45), kBlack);
    // A star of the sky: a disc outlined in its own colour.
    GraphicBox(*platform, -90, 90, -88, 88, kEllipseCorner, kGreen, kGreen, FillStyle::Solid);
    EXPECT_EQ(PixelAt(*platform, -89, 89), kGreen);
    EXPECT_EQ(PixelAt(*platform, -85, 85), kBlack);
}

TEST(CanvasFigureTest, HatchesDrawLinesInTheFillColourOverWhatIsThere) {
    struct Case {
        FillStyle style;
        bool (*on_line)(int column, int row);
    };
    const Case cases[] = {
        {FillStyle::Horizontal, [](int, int r) { return r % 8 == 0; }},
        {FillStyle::Vertical, [](int c, int) { return c % 8 == 0; }},
        {FillStyle::ForwardDiagonal, [](int c, int r) { return c % 8 == r % 8; }},
        {FillStyle::BackwardDiagonal, [](int c, int r) { return (c + r) % 8 == 7; }},
        {FillStyle::Cross, [](int c, int r) { return r % 8 == 0 || c % 8 == 0; }},
        {FillStyle::DiagonalCross, [](int c, int r) { return c % 8 == r % 8 || (c + r) % 8 == 7; }},
    };
    for (const Case& hatch : cases) {
        PlatformHandle platform = MakeWindow();
        GraphicBox(*platform, -60, 60, 60, -60, 0, kTransparent, kBlue, FillStyle::Solid);
        GraphicBox(*platform, -60, 60, 60, -60, 0, kTransparent, kRed, hatch.style);
        int wrong = 0;
        for (int row = 50; row < 150; ++row)
            for (int column = 50; column < 150; ++column)
                wrong += DevicePixelAt(*platform, column, row) != (hatch.on_line(column, row) ? kRed : kBlue);
        EXPECT_EQ(wrong, 0) << "fill style " << static_cast<int>(hatch.style);
        EXPECT_EQ(DevicePixelAt(*platform, 10, 10), kBlack);  // nothing outside the figure
    }
}

TEST(CanvasFigureTest, LinesPixelsAndPenWidth) {
    PlatformHandle platform = MakeWindow();
    GraphicSetPenWidth(*platform, 5);
    GraphicSetPos(*platform, -80, 0);
    GraphicLineTo(*platform, 80, 0, kRed);
    for (int y = -2; y <= 2; ++y) EXPECT_EQ(PixelAt(*platform, 0, static_cast<float>(y)), kRed) << y;
    EXPECT_EQ(PixelAt(*platform, 0, 4), kBlack);
    GraphicSetPenWidth(*platform, 1);
    GraphicLineTo(*platform, 80, 80, kDefaultColor);  // on from where the last line ended
    GraphicSetColor(*platform, kGreen, kUnchanged);
    GraphicLineTo(*platform, 80, 90, kDefaultColor);
    EXPECT_EQ(PixelAt(*platform, 80, 85), kGreen);
    GraphicSetPixel(*platform, -30, 30, kBlue);
    EXPECT_EQ(PixelAt(*platform, -30, 30), kBlue);
    EXPECT_EQ(CountColor(*platform, kBlue), 1);

    // An open line in a 3-pixel pen: 3 pixels high where flat, and no row left
    // out where it climbs 120 rows over 3 columns.
    GraphicClear(*platform);
    const PointF line[] = {{-90, -60}, {-87, 60}, {90, 60}};
    GraphicSetPenWidth(*platform, 3);
    GraphicPolyline(*platform, line, 3, kBlue);
    for (int row = 40; row <= 160; ++row) {
        bool reached = false;
        for (int column = 10; column <= 13; ++column)
            reached = reached || DevicePixelAt(*platform, column, row) == kBlue;
        EXPECT_TRUE(reached) << row;
    }
    int high = 0;
    for (int row = 0; row < 200; ++row) high += DevicePixelAt(*platform, 100, row) == kBlue;
    EXPECT_EQ(high, 3);
}

TEST(CanvasFigureTest, DiscsAtOnceAreTheBoxEllipsesOneByOne) {
    PlatformHandle one_by_one = MakeWindow();
    PlatformHandle at_once = MakeWindow();
    const PointF centres[] = {{0, 0}, {-60.5f, 33.25f}, {97, -97}, {40, 41}};
    for (float radius : {1.0f, 4.5f, 20.0f}) {
        for (const PointF& c : centres)
            GraphicBox(*one_by_one, c.x - radius, c.y + radius, c.x + radius, c.y - radius, kEllipseCorner, kGreen,
                       kGreen, FillStyle::Solid);
        GraphicDiscs(*at_once, centres, 4, radius, kGreen);
        int differing = 0;
        for (int row = 0; row < 200; ++row)
            for (int column = 0; column < 200; ++column)
                differing += DevicePixelAt(*one_by_one, column, row) != DevicePixelAt(*at_once, column, row);
        EXPECT_EQ(differing, 0) << "radius " << radius;
        GraphicClear(*one_by_one);
        GraphicClear(*at_once);
    }
}

TEST(CanvasFigureTest, DiamondsAreClosedOutlinesCutAtTheWindowEdge) {
    PlatformHandle platform = MakeWindow();
    const PointF centres[] = {{0.4f, -0.3f}, {-100, 100}, {500, 500}};  // the last lies wholly outside
    GraphicDiamonds(*platform, centres, 3, 6, kRed);
    int outline = 0;
    for (int row = 0; row < 200; ++row)
        for (int column = 0; column < 200; ++column)
            if (DevicePixelAt(*platform, column, row) == kRed)
                outline += std::abs(column - 100) + std::abs(row - 100) == 6 || column + row == 6;
    EXPECT_EQ(outline, CountColor(*platform, kRed));
    EXPECT_EQ(outline, 24 + 7);
}

// The figures that set pixels directly on a window's canvas (sky discs, thin
// outlines) must still reach a recorded picture, and the saved SVG and PDF must
// carry them as figures rather than as one embedded image.
TEST(CanvasFigureTest, RecordedPictureKeepsFastPathFiguresAndSavesAsVector) {
    test_support::ScratchDirectory scratch;
    OffscreenOptions options;
    options.width = options.height = 200;
    options.record_vector = true;
    PlatformHandle platform = CreateOffscreenPlatform(options);
    ASSERT_TRUE(OpenGraphicWindow(*platform, "test", 0, 0, 200, 200));
    GraphicSetColor(*platform, kBlack, kBlack);
    GraphicSetScale(*platform, -100, 100, 100, -100);
    GraphicClear(*platform);
    DrawStar(*platform, 0);
    GraphicBox(*platform, -90, 90, -88, 88, kEllipseCorner, kGreen, kGreen, FillStyle::Solid);
    EXPECT_EQ(PixelAt(*platform, -89, 89), kGreen);
    EXPECT_EQ(PixelAt(*platform, 0, 0), kBlue);
    EXPECT_EQ(PixelAt(*platform, 0, 80), kRed);
    ASSERT_TRUE(SavePicture(*platform, "page.SVG"));
    ASSERT_TRUE(SavePicture(*platform, "page.pdf"));
    ASSERT_TRUE(SavePicture(*platform, "page.png"));
    EXPECT_FALSE(SavePicture(*platform, "page.bmp"));
    std::string svg = ReadWholeFile("page.SVG");
    EXPECT_NE(svg.find("<path"), std::string::npos);
    EXPECT_EQ(svg.find("<image"), std::string::npos);
    EXPECT_EQ(ReadWholeFile("page.pdf").rfind("%PDF", 0), 0u);
}

TEST(CanvasTextTest, TextIsLoggedAtItsPositionAndAdvances) {
    PlatformHandle platform = MakeWindow(400, 200);
    GraphicSetColor(*platform, kGreen, kTransparent);
    SetGameFont(*platform, "courier new", 15);
    GraphicSetPos(*platform, -150, 50);
    GraphicPrintText(*platform, "iii");
    GraphicPrintNumber(*platform, -2.5);
    GraphicNewLine(*platform);
    GraphicPrintText(*platform, "MMM");
    const std::vector<PrintedText>& printed = PrintedTexts(*platform);
    ASSERT_EQ(printed.size(), 3u);
    EXPECT_EQ(printed[0].text, "iii");
    EXPECT_FLOAT_EQ(printed[0].x, -150);
    EXPECT_FLOAT_EQ(printed[0].y, 50);
    EXPECT_EQ(printed[0].color, kGreen);
    EXPECT_EQ(printed[0].font_face, "courier new");
    EXPECT_EQ(printed[0].font_points, 15);
    EXPECT_EQ(printed[1].text, "-2.5 ");
    // "courier new" is a fixed-pitch face: three i's are as wide as three M's.
    float three_i = printed[1].x - printed[0].x;
    EXPECT_FLOAT_EQ(three_i, 3 * 12.0f);  // 15 points at 96 dpi: 20-pixel em, 0.6 em advance
    EXPECT_FLOAT_EQ(printed[2].x, -200);  // new line: back to the left edge ...
    EXPECT_LT(printed[2].y, 50 - 15);     // ... one line lower
    GraphicPrintText(*platform, "i");
    EXPECT_FLOAT_EQ(PrintedTexts(*platform).back().x, -200 + three_i);

    // Text is drawn below and right of its position, and without a box when the background is -2.
    EXPECT_EQ(CountColor(*platform, kBlack, 400, 200) < 400 * 200, true);
    int green_above = 0;
    for (int column = 0; column < 400; ++column)
        for (int row = 0; row < 50; ++row) green_above += DevicePixelAt(*platform, column, row) != kBlack;
    EXPECT_EQ(green_above, 0);
}

TEST(CanvasTextTest, BackgroundBoxVerdanaAndScrolling) {
    PlatformHandle platform = MakeWindow();
    GraphicSetColor(*platform, kGreen, kBlue);
    SetGameFont(*platform, "VERDANA", 13);
    GraphicSetPos(*platform, -100, 100);
    GraphicPrintText(*platform, "W");
    EXPECT_GT(CountColor(*platform, kBlue), 20);  // the text cell's background
    EXPECT_EQ(PrintedTexts(*platform).back().font_face, "VERDANA");

    GraphicSetColor(*platform, kGreen, kBlack);
    GraphicSetOption(*platform, WindowOption::Scroll, true);
    for (int line = 0; line < 30; ++line) GraphicNewLine(*platform);
    GraphicPrintText(*platform, "last");
    const PrintedText& last = PrintedTexts(*platform).back();
    EXPECT_GT(last.y, -100 + 10);  // the line still fits: the picture moved up instead
    EXPECT_EQ(CountColor(*platform, kBlue), 0);  // the first text scrolled away ...
    EXPECT_GT(CountColor(*platform, kGreen), 0);  // ... and the last one is on the screen
}

TEST(CanvasTextTest, WrapContinuesOnTheNextLineAndLogsTheWholeText) {
    PlatformHandle platform = MakeWindow();
    GraphicSetColor(*platform, kGreen, kTransparent);
    SetGameFont(*platform, "courier new", 15);  // 12 pixels a character
    GraphicSetPos(*platform, 40, 100);           // room for 5 characters
    GraphicSetOption(*platform, WindowOption::Wrap, true);
    GraphicPrintText(*platform, "ABCDEFGH");
    ASSERT_EQ(PrintedTexts(*platform).size(), 1u);
    EXPECT_EQ(PrintedTexts(*platform)[0].text, "ABCDEFGH");
    int left_of_start = 0;  // "FGH" went on the next line at the left edge
    for (int row = 20; row < 45; ++row)
        for (int column = 0; column < 40; ++column) left_of_start += DevicePixelAt(*platform, column, row) == kGreen;
    EXPECT_GT(left_of_start, 0);

    PlatformHandle unwrapped = MakeWindow();
    GraphicSetColor(*unwrapped, kGreen, kTransparent);
    SetGameFont(*unwrapped, "courier new", 15);
    GraphicSetPos(*unwrapped, 40, 100);
    GraphicPrintText(*unwrapped, "ABCDEFGH");
    EXPECT_EQ(CountColor(*unwrapped, kGreen) > 0, true);
    int below = 0;
    for (int row = 20; row < 200; ++row)
        for (int column = 0; column < 200; ++column) below += DevicePixelAt(*unwrapped, column, row) == kGreen;
    EXPECT_EQ(below, 0);
}

TEST(CanvasTextTest, NothingHappensBeforeTheWindowOpens) {
    OffscreenOptions options;
    PlatformHandle platform = CreateOffscreenPlatform(options);
    GraphicPrintText(*platform, "early");
    GraphicBox(*platform, 0, 0, 10, 10, 0, kRed, kRed, FillStyle::Solid);
    QueueKeys(*platform, "x");
    EXPECT_EQ(GraphicInkey(*platform), "");
    EXPECT_TRUE(PrintedTexts(*platform).empty());
    EXPECT_EQ(DesktopWorkArea(*platform).width, 1920);
    EXPECT_EQ(DesktopWorkArea(*platform).height, 1080);
}

}  // namespace
