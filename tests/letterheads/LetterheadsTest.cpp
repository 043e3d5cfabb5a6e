// PrLogo on a real surface: pictures and texts read back from the PDF (picture boxes from the
// rendered page, words with poppler), the picture cache, hostile keys and the design data.
#include <filesystem>
#include <set>
#include <stdexcept>
#include <thread>

#include "drawing/DrawingFixture.h"
#include "drawing/DrawingSupport.h"
#include "letterheads/CustomerData.h"
#include "letterheads/FrmLogo.h"
#include "letterheads/Registry.h"
#include "surface/DocumentAccess.h"

namespace qor::test {
namespace {

namespace fs = std::filesystem;
using namespace qor::letterheads;

constexpr double kTol = 0.3;  // mm
constexpr double kOffset = 5;  // every drawing operation draws 5 mm right of and below its position
constexpr int kDpi = 150;

enum class Ink { Red, Blue };  // key pictures are red PNGs, the fallback a blue JPEG

bool Is(Ink ink, QRgb p) {
    const int r = qRed(p), g = qGreen(p), b = qBlue(p);
    return ink == Ink::Red ? r > 200 && g < 80 && b < 80 : b > 200 && r < 80 && g < 80;
}

void SavePicture(const std::string& path, Ink ink) {
    QImage image(60, 40, QImage::Format_RGB32);
    image.fill(ink == Ink::Red ? QColor(255, 0, 0) : QColor(0, 0, 255));
    ASSERT_TRUE(image.save(QString::fromStdString(path), nullptr, 95)) << path;
}

// The box (mm) of the pixels of `ink` on a page rendered at kDpi; empty when there are none.
struct Box {
    double left = 0, top = 0, width = 0, height = 0;
};
std::optional<Box> InkBox(const QImage& page, Ink ink) {
    int x0 = page.width(), y0 = page.height(), x1 = -1, y1 = -1;
    const QImage img = page.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            if (!Is(ink, line[x])) continue;
            x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
        }
    }
    if (x1 < 0) return std::nullopt;
    const double mm = 25.4 / kDpi;
    return Box{x0 * mm, y0 * mm, (x1 + 1 - x0) * mm, (y1 + 1 - y0) * mm};
}

class LetterheadTest : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        lib.PrScaleWidth = static_cast<float>(Mm(surface.PageWidth()));
        lib.PrScaleHeight = static_cast<float>(Mm(surface.PageHeight()));
        setenv("QORPRINT_DATA_DIR", data.Path().c_str(), 1);
        fs::create_directories(headers);
        ThreadFrmLogo() = {};
        previous_ = SetPictureLoader([this](const std::string& path) {
            loads.push_back(path);
            return Picture::FromFile(path);
        });
        SavePicture(headers + "/Header.16.jpg", Ink::Blue);
        for (const char* key : {"A", "18", "9", "10", "NOROW", "BE1234"})
            SavePicture(headers + "/Header." + key + ".png", Ink::Red);
    }
    void TearDown() override {
        SetPictureLoader(previous_);
        unsetenv("QORPRINT_DATA_DIR");
        DrawingTest::TearDown();
    }
    void Configure(const std::string& text) { WriteFile(headers + "/letterheads.conf", text); }

    TempDir data;
    const std::string headers = data.File("Headers");
    std::vector<std::string> loads;

private:
    PictureLoader previous_;
};

// One text as the design places it: left ('L') or right ('R') anchor, top, size in points.
struct Shown {
    std::string text;
    char anchor;
    double x, y, size;
    const char* font = "Arial";
    bool bold = false;
};

TEST_F(LetterheadTest, DrawsEachDesignWhereItsLayoutPutsIt) {
    Configure("customerG.key = BE1234\n");
    const Box generic{5, 7, 44.2, 26.43};
    const char* bauhaus = "Bauhaus Md BT";
    const struct {
        std::string what, lic, naam, subNaam;
        int32_t layout, factor, topShift, leftShift;
        std::optional<Ink> ink;  // nothing: no picture at all
        Box picture;             // positions as PrLogo computes them (mm)
        std::vector<Shown> words;  // exactly the words of the page
    } cases[] = {
        {"worked example", "0", "A", "B", 0, 0, 0, 0, Ink::Blue, generic, {{"A", 'L', 5, 29, 9}, {"B", 'L', 5, 33, 9}}},
        {"lower-case key", "a", "Acme", "Leuven", 0, 0, 0, 0, Ink::Red, {10, 3, 25, 25},
         {{"Acme", 'L', 40, 12, 12, bauhaus}, {"Leuven", 'L', 40, 17, 17, bauhaus, true}}},
        {"upper-case key", "A", "Acme", "Leuven", 0, 0, 0, 0, Ink::Red, {10, 3, 25, 25},
         {{"Acme", 'L', 40, 12, 12, bauhaus}, {"Leuven", 'L', 40, 17, 17, bauhaus, true}}},
        {"no picture, no row", "ZZ", "Acme", "Leuven", 0, 0, 0, 0, Ink::Blue, generic,
         {{"Acme", 'L', 5, 29, 9}, {"Leuven", 'L', 5, 33, 9}}},
        {"picture, no row", "NOROW", "Acme", "Leuven", 0, 0, 0, 0, std::nullopt, {}, {}},
        {"blank 9", "9", "Acme", "Leuven", 0, 0, 0, 0, std::nullopt, {}, {}},
        {"blank 10", "10", "Acme", "Leuven", 0, 0, 0, 0, std::nullopt, {}, {}},
        {"layRight, 10-character SubNaam: D 50", "A", "Acme", "Kortenberg", 1, 0, 0, 0, Ink::Red,
         {lib.PrScaleWidth - 20 - 25 - 50, 10, 25, 25},
         {{"Acme", 'L', lib.PrScaleWidth - 65, 19, 12, bauhaus}, {"Kortenberg", 'L', lib.PrScaleWidth - 65, 24, 17, bauhaus, true}}},
        {"layCenterLarge doubles", "A", "Acme", "Leuven", 2, 0, 0, 0, Ink::Red,
         {lib.PrScaleWidth / 2 - 30, lib.PrScaleHeight / 2 - 35, 50, 50},
         {{"Acme", 'L', lib.PrScaleWidth / 2 + 30, lib.PrScaleHeight / 2 - 17, 24, bauhaus},
          {"Leuven", 'L', lib.PrScaleWidth / 2 + 30, lib.PrScaleHeight / 2 - 7, 34, bauhaus, true}}},
        {"layCenter", "A", "Acme", "Leuven", 3, 0, 0, 0, Ink::Red, {lib.PrScaleWidth / 2 - 30, lib.PrScaleHeight / 2 - 35, 25, 25},
         {{"Acme", 'L', lib.PrScaleWidth / 2, lib.PrScaleHeight / 2 - 26, 12, bauhaus},
          {"Leuven", 'L', lib.PrScaleWidth / 2, lib.PrScaleHeight / 2 - 21, 17, bauhaus, true}}},
        {"VerkleinFactor 2", "18", "", "", 0, 2, 0, 0, Ink::Red, {5, 5, 15, 10}, {}},
        {"VerkleinFactor 0", "18", "", "", 0, 0, 0, 0, Ink::Red, {5, 5, 30, 20}, {}},
        {"VerkleinFactor -1", "18", "", "", 0, -1, 0, 0, Ink::Red, {5, 5, 30, 20}, {}},
        {"TopShift 5, LeftShift 3 move the picture only", "0", "A", "B", 0, 0, 5, 3, Ink::Blue, {8, 12, 44.2, 26.43},
         {{"A", 'L', 5, 29, 9}, {"B", 'L', 5, 33, 9}}},
        {"customer key from the configuration, texts joined and trimmed", "be1234", "Acme", "", 0, 0, 0, 0, Ink::Red,
         {5, 10, 73, 13.5}, {{"Acme", 'R', 78, 20.5, 9}}},
    };
    for (const auto& c : cases) {
        if (&c != &cases[0]) lib.PrNewPage();
        lib.PrLogo(c.lic, c.naam, c.subNaam, c.layout, c.factor, c.topShift, c.leftShift);
    }
    int page = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QImage image = Render(++page, kDpi);
        for (Ink ink : {Ink::Red, Ink::Blue}) {
            const std::optional<Box> box = InkBox(image, ink);
            ASSERT_EQ(box.has_value(), c.ink == ink);
            if (!box) continue;
            EXPECT_NEAR(box->left, c.picture.left + kOffset, kTol);
            EXPECT_NEAR(box->top, c.picture.top + kOffset, kTol);
            EXPECT_NEAR(box->width, c.picture.width, kTol);
            EXPECT_NEAR(box->height, c.picture.height, kTol);
        }
        const std::vector<Word> words = PageWords(Pdf(), page);
        ASSERT_EQ(words.size(), c.words.size());
        for (std::size_t i = 0; i < words.size(); ++i) {
            const Shown& s = c.words[i];
            EXPECT_EQ(words[i].text, s.text);
            EXPECT_NEAR(s.anchor == 'L' ? words[i].Left() : words[i].Right(), s.x + kOffset, kTol) << s.text;
            EXPECT_NEAR(words[i].Top(), s.y + kOffset, kTol) << s.text;
            // A word's box is the font's ascent plus descent: its height gives the size.
            FontSpec font;
            font.Name = s.font;
            font.Size = s.size;
            font.Bold = s.bold;
            EXPECT_NEAR(words[i].Bottom() - words[i].Top(), Mm(surface::MetricsOf(font).height), 0.1) << s.text;
        }
    }
}

TEST_F(LetterheadTest, LoadsAPictureOncePerThreadAndRetriesAMissingOne) {
    lib.PrLogo("A");
    lib.PrLogo("a", "Acme");
    EXPECT_EQ(loads, std::vector<std::string>{headers + "/Header.A.png"});
    lib.PrLogo("ZZ");
    lib.PrLogo("ZZ");
    EXPECT_EQ(loads.size(), 3u);
    EXPECT_EQ(loads.back(), headers + "/Header.16.jpg");
    {
        CellLog excel;  // spreadsheet mode: nothing drawn, nothing loaded
        lib.PrLogo("BE1234", "Acme", "Leuven");
        EXPECT_TRUE(CellLog::cells().empty());
    }
    EXPECT_EQ(loads.size(), 3u);
    std::size_t otherThreadLoads = 0;
    std::thread([&] {
        SetPictureLoader([&](const std::string& path) { return ++otherThreadLoads, Picture::FromFile(path); });
        CachePicture(headers, "A");
        CachePicture(headers, "A");
    }).join();
    EXPECT_EQ(otherThreadLoads, 1u);
    EXPECT_EQ(loads.size(), 3u);
}

TEST_F(LetterheadTest, HostileKeysStayInsideTheHeadersFolderAndDrawTheGenericDesign) {
    // Traps for keys that would be pasted into a path or a pattern (keys are upper-cased).
    fs::create_directories(headers + "/Header.A");
    fs::create_directories(headers + "/Header...");
    SavePicture(headers + "/Header.A/B.png", Ink::Red);
    SavePicture(headers + "/Header.../X.png", Ink::Red);
    SavePicture(data.File("X.png"), Ink::Red);
    for (const std::string key : {"../x", "*", "a/b", "\t", "..", "A*", "?", "[A]", "", "A B", "../Headers/Header.A"}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(CachePicture(headers, UpperCase(key)), "0");
        EXPECT_EQ(FindPicture(headers, key), std::nullopt);
        EXPECT_EQ(loads.back(), headers + "/Header.16.jpg");
    }
    // The first match in byte order of the names, the key matched without regard to case.
    for (const char* name : {"Header.B.png", "Header.b.bmp", "Header.B.jpg", "Header.BB.jpg"})
        SavePicture(headers + "/" + name, Ink::Red);
    EXPECT_EQ(FindPicture(headers, "b"), headers + "/Header.B.jpg");
}

TEST_F(LetterheadTest, CustomerDesignsExistOnlyWithTheirConfiguration) {
    const std::vector<Design>& designs = Designs();
    EXPECT_EQ(designs.size(), 23u);
    const CustomerData none = CustomerData::Parse("");
    EXPECT_EQ(FindDesign(designs, "3", none), nullptr);
    EXPECT_EQ(FindDesign(designs, "BE1234", none), nullptr);
    ASSERT_NE(FindDesign(designs, "F", none), nullptr);
    EXPECT_EQ(FindDesign(designs, "F", none)->name, "name beside picture");

    std::string conf = "# every customer\ncustomerA.name = Town of Examplehoven\ncustomerB.name = Acme\n"
                       "customerC.line1 = Example Agency\ncustomerC.line2 = for Letterheads\n"
                       "customerD.name = Sample Guild\ncustomerF.place = Examplehoven\ncustomerI.place = Sampleville\n"
                       "customerO.kind = Guild\ncustomerO.place = Sampleville\nnot a setting\ncustomerE.key = BE12\n";
    const std::string letters = "EFGHIJKLMNOP";
    for (std::size_t i = 0; i < letters.size(); ++i)
        conf += "customer" + letters.substr(i, 1) + ".key = be20" + std::to_string(10 + i) + "\n";
    Configure(conf);
    const CustomerData& all = CustomerDataOf(headers);
    EXPECT_EQ(FindDesign(designs, "BE12", all), nullptr);  // not a customer key
    EXPECT_EQ(FindDesign(designs, "3", all)->name, "Customer A");
    EXPECT_EQ(FindDesign(designs, "BE2012", all)->name, "Customer G");

    // Every design draws, in fonts the machine may lack, with the system colours mapped.
    std::vector<std::string> keys = {"0", "1", "16", "17", "18", "A", "I", "8", "3", "4", "5", "6"};
    for (std::size_t i = 0; i < letters.size(); ++i) keys.push_back("BE20" + std::to_string(10 + i));
    for (const std::string& key : keys) {
        if (key != "0") lib.PrNewPage();
        SavePicture(headers + "/Header." + key + ".png", Ink::Red);
        EXPECT_NO_THROW(lib.PrLogo(key, "Acme", "Leuven")) << key;
    }
    const QImage page = Render(17, kDpi);  // Customer I: its place name in the highlight colour
    EXPECT_EQ(PageWords(Pdf(), 17).front().text, "Sampleville");
    const Word w = PageWords(Pdf(), 17).front();
    bool highlight = false;
    for (double x = w.Left(); x < w.Right(); x += 0.1)
        for (double y = w.Top(); y < w.Bottom(); y += 0.1)
            highlight = highlight || At(page, x, y) == QColor(0x33, 0x99, 0xFF);
    EXPECT_TRUE(highlight);
    EXPECT_NE(PdfText(Pdf()).find("Town of Examplehoven"), std::string::npos);

    // The sample configuration gives all sixteen customer designs.
    const CustomerData& sample = CustomerDataOf(QOR_SOURCE_DIR "/examples/headers/Headers");
    std::set<const Design*> found;
    for (int i = 3; i <= 6; ++i) found.insert(FindDesign(designs, std::to_string(i), sample));
    for (int i = 1001; i <= 1012; ++i) found.insert(FindDesign(designs, "BE" + std::to_string(i), sample));
    found.erase(nullptr);
    EXPECT_EQ(found.size(), 16u);
}

TEST(LetterheadData, FormulasAndRegistryMistakes) {
    Quantities q;
    q.X = 10, q.W = 25, q.m = 2, q.n = 10;
    EXPECT_DOUBLE_EQ(Expression::Parse("X + (W + 5) * m").Evaluate(q), 70);
    EXPECT_DOUBLE_EQ(Expression::Parse("max(35, 5 * n)").Evaluate(q), 50);
    EXPECT_DOUBLE_EQ(Expression::Parse("-W / 2 - min(1, 2)").Evaluate(q), -13.5);
    EXPECT_THROW(Expression::Parse("W +"), std::invalid_argument);
    EXPECT_THROW(Expression::Parse("Z"), std::invalid_argument);
    try {
        ParseDesigns(R"({"designs": [{"name": "x", "keys": ["X"], "picture": [1, 1],
                         "elements": [{"text": "a", "at": [0, 0], "colour": [1, 2, 3]}]}]})");
        ADD_FAILURE() << "no error";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "letterhead designs: designs[0] (x).elements[0]: unknown key \"colour\"");
    }
}

#ifdef QORPRINT_EXE
// qorprint report definitions carry the letterhead choice that clsRapport::Logo stores.
TEST(LetterheadTool, ReportDefinitionsTakeALogoBlock) {
    TempDir dir;
    Shell("sqlite3 " + Quote(dir.File("d.sqlite")) + " \"CREATE TABLE t(a TEXT); INSERT INTO t VALUES ('x');\"");
    const struct { std::string logo; int code; std::string message; } cases[] = {
        {R"({"lic": "A", "naam": "Acme", "subNaam": "Leuven", "layout": "layRight"})", 0, ""},
        {R"({"lic": "A", "layout": 3})", 0, ""},
        {R"({"lic": "A", "layout": "layTop"})", 2, "logo.layout: unknown name \"layTop\""},
        {R"({"naam": "Acme"})", 2, "logo.lic: missing"},
    };
    for (const auto& c : cases) {
        WriteFile(dir.File("d.json"), R"({"logo": )" + c.logo + R"(, "data": {"sqlite": "d.sqlite",
            "query": "SELECT a FROM t"}, "columns": [{"width": 180, "dataField": "a"}]})");
        int code = -1;
        const std::string out = Shell("cd " + Quote(dir.Path().string()) + " && QT_QPA_PLATFORM=offscreen " +
                                          Quote(QORPRINT_EXE) + " report d.json --to pdf --out d.pdf",
                                      &code);
        EXPECT_EQ(code, c.code) << c.logo << "\n" << out;
        EXPECT_NE(out.find(c.message), std::string::npos) << out;
    }
}
#endif

}  // namespace
}  // namespace qor::test
