// Widget: the base of every visible element. Widgets live in one flat list of
// the WidgetManager, bottom to top; positions are screen pixels, and the
// coordinates passed to a widget's mouse operations are relative to its
// top-left corner. The manager owns no widget: whoever creates one removes it
// from the manager and deletes it.
//
// The virtual operations keep a fixed order (derived classes add theirs after).
#pragma once

#include <string>
#include <vector>

#include "graphics/Color.h"
#include "graphics/Rect.h"

namespace Varn {

class Graphics;
class Image;
class WidgetManager;

class Widget {
public:
    Widget() = default;
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;

    virtual ~Widget();                                                     // 0
    virtual void AddedToManager(WidgetManager* widgetManager);             // 1
    virtual void RemovedFromManager(WidgetManager* widgetManager);         // 2
    virtual void SetVisible(bool isVisible);                               // 3
    virtual void SetColorsRGBA(const int rows[][4], int count);            // 4
    virtual void SetColorsRGB(const int rows[][3], int count);             // 5
    virtual void SetColor(int index, const Color& color);                  // 6
    virtual void SetOverlay(bool isOverlay);                               // 7
    virtual bool HasTransparency();                                        // 8
    virtual void SetDisabled(bool isDisabled);                             // 9
    virtual void ShowFingerCursor(bool show);                              // 10
    virtual void Resize(const Rect& rect);                                 // 11
    virtual void Resize(int newX, int newY, int newWidth, int newHeight);  // 12
    virtual void Move(int newX, int newY);                                 // 13
    virtual bool WantsFocus();                                             // 14
    virtual void Draw(Graphics* g);                                        // 15
    virtual void Update();                                                 // 16
    virtual void GotFocus();                                               // 17
    virtual void LostFocus();                                              // 18
    virtual void KeyChar(char ch);                                         // 19
    virtual void KeyDown(int keyCode);                                     // 20
    virtual void KeyUp(int keyCode);                                       // 21
    virtual void MouseEnter();                                             // 22
    virtual void MouseLeave();                                             // 23
    virtual void MouseMove(int mouseX, int mouseY);                        // 24
    virtual void MouseDown(int mouseX, int mouseY, int clickCode);         // 25
    virtual void MouseUp(int mouseX, int mouseY);                          // 26
    virtual void MouseDrag(int mouseX, int mouseY);                        // 27

    // Text layout with the Graphics' current font (implemented in WidgetText.cpp).
    virtual void DrawCenteredTextShadowed(Graphics* g, int baseline, const std::string& text,
                                          Color textColor, Color shadowColor);          // 28
    virtual void DrawCenteredText(Graphics* g, int baseline, const std::string& text);  // 29
    // Returns the width of the text without its colour codes.
    virtual int DrawCodedText(Graphics* g, const std::string& text, int textX, int textY,
                              int areaWidth, int justify, bool draw);  // 30
    // Returns the height used.
    virtual int DrawWrappedText(Graphics* g, const Rect& rect, const std::string& text,
                                int lineSpacing, int justify);  // 31
    virtual int MeasureWrappedText(Graphics* g, int areaWidth, const std::string& text,
                                   int lineSpacing);  // 32
    virtual int CountDigits(int number);              // 33
    // Returns the number of digits drawn.
    virtual int DrawDigitStrip(Graphics* g, int number, int stripX, int stripY, Image* strip,
                               int spacing);  // 34

    virtual bool Contains(int px, int py);  // 35
    virtual Rect GetHitRect();              // 36
    virtual Rect GetRect();                 // 37
    virtual bool Overlaps(Widget* other);   // 38
    virtual void MarkRegionDirty();         // 39
    virtual void MarkDirty();               // 40
    // Only this part of the widget (widget coordinates) changed: the next drawing pass draws
    // the widget clipped to it, and the widgets above only where they overlap it. A full
    // MarkDirty before or after wins.
    void MarkAreaDirty(const Rect& area);

    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool dirty = true;
    bool visible = true;
    bool mouseVisible = true;
    bool overlay = false;
    bool disabled = false;
    bool hasFocus = false;
    bool isDown = false;
    bool isOver = false;
    bool transparent = false;
    bool translucent = false;
    // Set (with its area, in screen coordinates) while only part of the widget must be drawn.
    bool areaDirty = false;
    Rect dirtyArea;
    WidgetManager* manager = nullptr;
    std::vector<Color> colors;
    Insets hitInsets;
    bool fingerOnHover = false;
    int updateCount = 0;
    Widget* tabPrev = nullptr;
    Widget* tabNext = nullptr;
};

}  // namespace Varn
