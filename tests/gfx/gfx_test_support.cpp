#include "gfx_test_support.h"

#include "gl/gl_calls.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>

std::ostream& operator<<(std::ostream& out, const Rgb& c)
{
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

Screen Screen::Capture()
{
    Screen screen;
    screen.width = pRbow->Width();
    screen.height = pRbow->Height();
    screen.rgb.assign(static_cast<std::size_t>(screen.width) * screen.height * 3, 0);
    gl::Finish();
    gl::PixelStorei(GL_PACK_ALIGNMENT, 1);
    gl::PixelStorei(GL_PACK_ROW_LENGTH, 0);
    gl::ReadPixels(0, 0, screen.width, screen.height, GL_RGB, GL_UNSIGNED_BYTE, screen.rgb.data());
    return screen;
}

Rgb Screen::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height) return Rgb{-1, -1, -1};
    const std::uint8_t* p = &rgb[(static_cast<std::size_t>(height - 1 - y) * width + x) * 3];
    return Rgb{p[0], p[1], p[2]};
}

bool Screen::Bounds(Rgb background, int& left, int& top, int& right, int& bottom) const
{
    left = top = 1 << 30;
    right = bottom = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (!(At(x, y) == background)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return right >= 0;
}

namespace {

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v)
{
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
}

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v)
{
    Put16(b, at, v);
    Put16(b, at + 2, v >> 16);
}

std::vector<std::uint8_t> Header(int width, int height, int bits, std::size_t paletteBytes, std::size_t dataBytes)
{
    std::vector<std::uint8_t> b(54 + paletteBytes + dataBytes, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<std::uint32_t>(b.size()));
    Put32(b, 10, static_cast<std::uint32_t>(54 + paletteBytes));
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<std::uint32_t>(width));
    Put32(b, 22, static_cast<std::uint32_t>(height));
    Put16(b, 26, 1);
    Put16(b, 28, static_cast<std::uint32_t>(bits));
    return b;
}

}  // namespace

std::vector<std::uint8_t> MakeBmp24(int width, int height, const std::function<Rgb(int, int)>& colour)
{
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> b = Header(width, height, 24, 0, rowBytes * height);
    for (int y = 0; y < height; ++y) {
        // Stored bottom row first; padding bytes are set to a loud value so a
        // reader that uses them shows it.
        std::uint8_t* row = &b[54 + (height - 1 - y) * rowBytes];
        for (std::size_t i = static_cast<std::size_t>(width) * 3; i < rowBytes; ++i) row[i] = 0xEE;
        for (int x = 0; x < width; ++x) {
            const Rgb c = colour(x, y);
            row[x * 3] = static_cast<std::uint8_t>(c.b);
            row[x * 3 + 1] = static_cast<std::uint8_t>(c.g);
            row[x * 3 + 2] = static_cast<std::uint8_t>(c.r);
        }
    }
    return b;
}

std::vector<std::uint8_t> MakeBmp8(int width, int height, const std::vector<Rgb>& palette,
                                   const std::vector<std::uint8_t>& indices)
{
    const std::size_t rowBytes = (static_cast<std::size_t>(width) + 3) / 4 * 4;
    std::vector<std::uint8_t> b = Header(width, height, 8, palette.size() * 4, rowBytes * height);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        b[54 + i * 4] = static_cast<std::uint8_t>(palette[i].b);
        b[54 + i * 4 + 1] = static_cast<std::uint8_t>(palette[i].g);
        b[54 + i * 4 + 2] = static_cast<std::uint8_t>(palette[i].r);
    }
    const std::size_t data = 54 + palette.size() * 4;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b[data + (height - 1 - y) * rowBytes + x] = indices[static_cast<std::size_t>(y) * width + x];
    return b;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void GfxTest::SetUp()
{
    // One folder per test process; a death test's child (which runs the test
    // again from the start) finds its parent's folder through the environment.
    const char* inherited = std::getenv("KV_GFX_TEST_FOLDER");
    if (inherited != nullptr) {
        m_folder = inherited;
    } else {
#ifdef _WIN32
        // Windows has no /tmp: the user's temporary folder.
        std::string pattern = (std::filesystem::temp_directory_path() / "kv_gfx_test_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
#else
        char pattern[] = "/tmp/kv_gfx_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
#endif
        m_folder = pattern;
        setenv("KV_GFX_TEST_FOLDER", m_folder.c_str(), 1);
    }
    // The error log of this run goes to the test's folder.
    setenv("TMPDIR", m_folder.c_str(), 1);

    KV_RESX = 640;
    KV_RESY = 480;
    KV_FULLSCREEN = 0;
    KV_FRAMERATE = 1000;
    KV_DEBUG = 1;
    char noArguments[] = "";
    __GlobalInit(nullptr, nullptr, noArguments, 0, "gfx test");
    ASSERT_NE(pRbow, nullptr);
    ClearScreen();
}

void GfxTest::TearDown()
{
    // The runtime ends (the renderer's destructor releases every texture,
    // the sound device's thread stops); the video system stays until the
    // process ends, so the driver's own caches are still attributable to it
    // when the leak checker runs.
    __ReleaseRuntime();
    if (std::getenv("KV_GFX_TEST_KEEP") == nullptr && !m_folder.empty() &&
        ::testing::UnitTest::GetInstance()->current_test_info() != nullptr) {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    unsetenv("KV_GFX_TEST_FOLDER");
}

std::string GfxTest::WriteBmp(const std::string& name, const std::vector<std::uint8_t>& bytes) const
{
    const std::string path = Path(name);
    WriteFile(path, bytes);
    return path;
}

void GfxTest::ClearScreen()
{
    gl::ClearColor(0, 0, 0, 0);
    gl::Clear(GL_COLOR_BUFFER_BIT);
}

std::string ErrorLog(const std::string& folder)
{
    std::ifstream in(folder + "/ErrorLog.txt", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
