#include "framework/crash/CrashWindow.h"

#include <algorithm>
#include <sstream>

#include "graphics/Graphics.h"
#include "graphics/SysFont.h"

#ifndef GEMLODE_CRASH_MAIL
#define GEMLODE_CRASH_MAIL "crashreport@zandrel.example"
#endif

namespace Varn {

const char* const kCrashMessage =
    "An unexpected error has occured!  The information below will help us at Zandrel locate "
    "and fix the problem. Please help us out by copying the text below and emailing it to us "
    "at " GEMLODE_CRASH_MAIL ".  Thank you.";

namespace {

const Rect kMessageArea(8, 8, 384, 70);
const Rect kReportArea(8, 78, 384, 182);
const Rect kButtonArea(8, 268, 384, 24);
constexpr int kScrollBarWidth = 16;
constexpr int kTextInset = 3;
constexpr int kWheelLines = 3;

const Color kFace(212, 208, 200);
const Color kShadow(128, 128, 128);
const Color kDarkShadow(64, 64, 64);
const Color kLight(255, 255, 255);
const Color kText(0, 0, 0);
const Color kTrack(232, 230, 226);

enum Key {
    kEnter = 13,
    kEscape = 27,
    kPageUp = 33,
    kPageDown = 34,
    kEnd = 35,
    kHome = 36,
    kUp = 38,
    kDown = 40
};
constexpr uint32_t kControlC = 3;

// Greedy word wrap; a word wider than the width is cut where it stops fitting.
std::vector<std::string> WrapWords(const std::string& text, Font& font, int width) {
    std::vector<std::string> result;
    std::istringstream words(text);
    std::string word;
    std::string line;
    while (words >> word) {
        std::string candidate = line.empty() ? word : line + " " + word;
        if (line.empty() || font.StringWidth(candidate) <= width) {
            line = candidate;
            continue;
        }
        result.push_back(line);
        line = word;
    }
    if (!line.empty()) result.push_back(line);
    return result;
}

// Monospace: every line is cut at the number of characters that fit.
std::vector<std::string> WrapCharacters(const std::string& text, Font& font, int width) {
    int advance = std::max(1, font.StringWidth("M"));
    size_t perLine = size_t(std::max(1, width / advance));
    std::vector<std::string> result;
    std::istringstream input(text);
    std::string line;
    while (std::getline(input, line)) {
        if (line.empty()) result.push_back(line);
        for (size_t at = 0; at < line.size(); at += perLine)
            result.push_back(line.substr(at, perLine));
    }
    return result;
}

Rect TextArea() {
    return Rect(kReportArea.x + kTextInset, kReportArea.y + kTextInset,
                kReportArea.width - kScrollBarWidth - 2 * kTextInset,
                kReportArea.height - 2 * kTextInset);
}

Rect Track() {
    return Rect(kReportArea.x + kReportArea.width - kScrollBarWidth - 1, kReportArea.y + 1,
                kScrollBarWidth, kReportArea.height - 2);
}

void Bevel(Graphics& g, const Rect& r, const Color& topLeft, const Color& bottomRight) {
    g.SetColor(topLeft);
    g.FillRect(r.x, r.y, r.width, 1);
    g.FillRect(r.x, r.y, 1, r.height);
    g.SetColor(bottomRight);
    g.FillRect(r.x, r.y + r.height - 1, r.width, 1);
    g.FillRect(r.x + r.width - 1, r.y, 1, r.height);
}

bool Inside(const Rect& r, int x, int y) {
    return x >= r.x && y >= r.y && x < r.x + r.width && y < r.y + r.height;
}

uint32_t ToXrgb(uint32_t packed) {
    uint32_t red = packed & 0xFF;
    uint32_t green = (packed >> 8) & 0xFF;
    uint32_t blue = (packed >> 16) & 0xFF;
    return red << 16 | green << 8 | blue;
}

}  // namespace

CrashWindow::CrashWindow(Platform& platformLayer, const std::string& text)
    : platform(platformLayer),
      report(text),
      messageFont(std::make_unique<SysFont>("Sans", 9, true)),
      reportFont(std::make_unique<SysFont>("Monospace", 8)),
      buttonFont(std::make_unique<SysFont>("Sans", 9)),
      canvas(nullptr) {
    canvas.Create(kWidth, kHeight);
    messageLines = WrapWords(kCrashMessage, *messageFont, kMessageArea.width);
    lines = WrapCharacters(report, *reportFont, TextArea().width);
}

CrashWindow::~CrashWindow() = default;

int CrashWindow::VisibleLines() const {
    return std::max(1, TextArea().height / std::max(1, reportFont->GetHeight()));
}

bool CrashWindow::Open() {
    PlatformWindow& window = platform.GetWindow();
    if (!window.Create("Fatal Error!", kWidth, kHeight, false)) return false;
    window.Show();
    return true;
}

bool PresentCrashReport(Platform& platform, const std::string& report, bool toClipboard) {
    if (toClipboard) platform.GetDesktop().SetClipboardText(report);
    CrashWindow window(platform, report);
    return window.Run();
}

bool CrashWindow::Run() {
    if (!Open()) return false;
    std::vector<WindowMessage> messages;
    while (!done) {
        messages.clear();
        platform.GetWindow().PumpMessages(messages);
        for (const WindowMessage& message : messages) HandleMessage(message);
        if (dirty) Present();
        platform.GetClock().Sleep(10);
    }
    platform.GetWindow().Destroy();
    return true;
}

void CrashWindow::HandleMessage(const WindowMessage& message) {
    switch (message.message) {
        case kMsgClose:
            done = true;
            break;
        case kMsgKeyDown:
            HandleKey(int(message.wparam));
            break;
        case kMsgChar:
            if (message.wparam == kControlC) platform.GetDesktop().SetClipboardText(report);
            break;
        case kMsgMouseWheel:
            ScrollTo(firstLine - int32_t(message.wparam) * kWheelLines);
            break;
        case kMsgLButtonDown:
            Click(message.X(), message.Y(), true);
            break;
        case kMsgLButtonUp:
            Click(message.X(), message.Y(), false);
            break;
        case kMsgPaint:
            dirty = true;
            break;
        default:
            break;
    }
}

void CrashWindow::HandleKey(int code) {
    int page = VisibleLines();
    switch (code) {
        case kEnter:
        case kEscape:
            done = true;
            break;
        case kUp:
            ScrollTo(firstLine - 1);
            break;
        case kDown:
            ScrollTo(firstLine + 1);
            break;
        case kPageUp:
            ScrollTo(firstLine - page);
            break;
        case kPageDown:
            ScrollTo(firstLine + page);
            break;
        case kHome:
            ScrollTo(0);
            break;
        case kEnd:
            ScrollTo(LineCount());
            break;
        default:
            break;
    }
}

void CrashWindow::Click(int x, int y, bool down) {
    if (Inside(kButtonArea, x, y)) {
        if (!down && buttonPressed) done = true;
        buttonPressed = down;
        dirty = true;
        return;
    }
    if (buttonPressed && !down) dirty = true;
    buttonPressed = false;
    if (!down || !Inside(Track(), x, y)) return;
    Rect thumb = Thumb();
    if (y < thumb.y) ScrollTo(firstLine - VisibleLines());
    if (y >= thumb.y + thumb.height) ScrollTo(firstLine + VisibleLines());
}

void CrashWindow::ScrollTo(int line) {
    int last = std::max(0, LineCount() - VisibleLines());
    int clamped = std::clamp(line, 0, last);
    if (clamped != firstLine) dirty = true;
    firstLine = clamped;
}

Rect CrashWindow::Thumb() const {
    Rect track = Track();
    int total = std::max(LineCount(), VisibleLines());
    int height = std::max(12, track.height * VisibleLines() / total);
    int range = std::max(1, total - VisibleLines());
    int top = track.y + (track.height - height) * firstLine / range;
    return Rect(track.x, top, track.width, height);
}

void CrashWindow::Draw() {
    std::unique_ptr<Graphics> g = canvas.GetGraphics();
    g->SetColor(kFace);
    g->FillRect(0, 0, kWidth, kHeight);
    DrawMessage(*g);
    DrawReport(*g);
    DrawScrollBar(*g);
    DrawButton(*g);
    canvas.BitsChanged();
}

void CrashWindow::DrawMessage(Graphics& outer) {
    Graphics g(outer);
    g.SetFont(messageFont.get());
    g.SetColor(kText);
    g.ClipRect(kMessageArea);
    // The face may be wider than the one the area was laid out for: close the lines up so
    // that the whole message fits.
    int count = std::max<int>(1, int(messageLines.size()));
    int lineHeight = std::min(messageFont->GetHeight(), kMessageArea.height / count);
    for (size_t i = 0; i < messageLines.size(); ++i)
        g.DrawString(messageLines[i], kMessageArea.x,
                     kMessageArea.y + messageFont->GetAscent() + int(i) * lineHeight);
}

void CrashWindow::DrawReport(Graphics& g) {
    g.SetColor(kLight);
    g.FillRect(kReportArea);
    Bevel(g, kReportArea, kShadow, kLight);
    Rect text = TextArea();
    Graphics clipped(g);
    clipped.SetFont(reportFont.get());
    clipped.SetColor(kText);
    clipped.ClipRect(text);
    int lineHeight = reportFont->GetHeight();
    int end = std::min(LineCount(), firstLine + VisibleLines() + 1);
    for (int i = firstLine; i < end; ++i)
        clipped.DrawString(lines[size_t(i)], text.x,
                           text.y + reportFont->GetAscent() + (i - firstLine) * lineHeight);
}

void CrashWindow::DrawScrollBar(Graphics& g) {
    g.SetColor(kTrack);
    g.FillRect(Track());
    Rect thumb = Thumb();
    g.SetColor(kFace);
    g.FillRect(thumb);
    Bevel(g, thumb, kLight, kDarkShadow);
}

void CrashWindow::DrawButton(Graphics& g) {
    g.SetColor(kText);
    g.FillRect(kButtonArea);  // the default button's dark frame
    Rect face(kButtonArea.x + 1, kButtonArea.y + 1, kButtonArea.width - 2, kButtonArea.height - 2);
    g.SetColor(kFace);
    g.FillRect(face);
    if (buttonPressed)
        Bevel(g, face, kShadow, kShadow);
    else
        Bevel(g, face, kLight, kShadow);
    const std::string label = "Exit";
    int shift = buttonPressed ? 1 : 0;
    int x = face.x + (face.width - buttonFont->StringWidth(label)) / 2 + shift;
    int y = face.y + (face.height - buttonFont->GetHeight()) / 2 + buttonFont->GetAscent() + shift;
    g.SetFont(buttonFont.get());
    g.SetColor(kText);
    g.DrawString(label, x, y);
}

void CrashWindow::Present() {
    Draw();
    const uint32_t* pixels = const_cast<MemoryImage&>(canvas).GetBits();
    frame.resize(size_t(kWidth) * kHeight);
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = ToXrgb(pixels[i]);
    FrameView view;
    view.pixels = frame.data();
    view.pitch = kWidth * 4;
    view.width = kWidth;
    view.height = kHeight;
    view.format = PixelFormat::kXrgb8888;
    view.firstDirtyRow = 0;
    view.endDirtyRow = kHeight;
    platform.GetWindow().Present(view);
    dirty = false;
}

}  // namespace Varn
