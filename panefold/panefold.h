#pragma once

// Pane splitters: HSplit stacks two panes with a horizontal bar between them, VSplit sets two
// panes side by side with a vertical bar between them. A splitter owns no window; the caller
// hands it the host, the bar and the two panes and asks it to move the bar and lay the panes
// out again. Geometry is in the host's scale units (the player window uses twips).
//
// Members are shared with the caller through std::shared_ptr: a splitter keeps its controls
// alive, and the caller keeps using the same objects.

#include "panefold_export.h"

#include <cstdint>
#include <memory>

namespace panefold {

// Mouse pointer codes the player window passes to SetPointer.
inline constexpr std::int16_t PointerDefault = 0;
inline constexpr std::int16_t PointerSizeNS = 7; // north-south sizing, for a horizontal bar
inline constexpr std::int16_t PointerSizeWE = 9; // west-east sizing, for a vertical bar

// Thickness of the split bar: 30 twips, two pixels at 96 dots per inch.
inline constexpr double BarThickness = 30;

// The window holding the bar and the panes.
class PANEFOLD_EXPORT Host {
public:
    virtual ~Host();
    virtual double scaleWidth() const = 0;  // inner width
    virtual double scaleHeight() const = 0; // inner height
    // Returns false when the host does not take the pointer code.
    virtual bool setMousePointer(std::int16_t code) = 0;
};

// The bar or a pane. A setter returns false when the control refuses the value, as a real
// window does with a negative width or height.
class PANEFOLD_EXPORT Control {
public:
    virtual ~Control();
    virtual double left() const = 0;
    virtual double top() const = 0;
    virtual double width() const = 0;
    virtual double height() const = 0;
    virtual bool setLeft(double value) = 0;
    virtual bool setTop(double value) = 0;
    virtual bool setWidth(double value) = 0;
    virtual bool setHeight(double value) = 0;
};

// Top pane, bar, bottom pane.
class PANEFOLD_EXPORT HSplit {
public:
    std::shared_ptr<Host> HostPane() const { return host_; }
    void setHostPane(std::shared_ptr<Host> host) { host_ = std::move(host); }
    std::shared_ptr<Control> TopPane() const { return top_; }
    void setTopPane(std::shared_ptr<Control> pane) { top_ = std::move(pane); }
    std::shared_ptr<Control> BottomPane() const { return bottom_; }
    void setBottomPane(std::shared_ptr<Control> pane) { bottom_ = std::move(pane); }
    std::shared_ptr<Control> SplitBar() const { return bar_; }
    void setSplitBar(std::shared_ptr<Control> bar) { bar_ = std::move(bar); }

    // The side-by-side names are accepted so both classes answer to the same names; they store
    // nothing and always read empty.
    std::shared_ptr<Control> LeftPane() const { return nullptr; }
    void setLeftPane(std::shared_ptr<Control>) {}
    std::shared_ptr<Control> RightPane() const { return nullptr; }
    void setRightPane(std::shared_ptr<Control>) {}

    // Kept for the caller, which uses it to remember that a drag is under way.
    bool SplitOn() const { return splitOn_; }
    void setSplitOn(bool on) { splitOn_ = on; }

    // Sets the host's mouse pointer. False when there is no host or it refuses the code.
    bool SetPointer(std::int16_t pType);

    // Moves the bar down by Twips (up when negative) and lays both panes out around it.
    // No limits are applied. The first missing member or refused value ends the layout
    // quietly; what was set before stays.
    void ResizePanes(double Twips = 0);

private:
    std::shared_ptr<Host> host_;
    std::shared_ptr<Control> top_;
    std::shared_ptr<Control> bottom_;
    std::shared_ptr<Control> bar_;
    bool splitOn_ = false;
};

// Left pane, bar, right pane.
class PANEFOLD_EXPORT VSplit {
public:
    std::shared_ptr<Host> HostPane() const { return host_; }
    void setHostPane(std::shared_ptr<Host> host) { host_ = std::move(host); }
    std::shared_ptr<Control> LeftPane() const { return left_; }
    void setLeftPane(std::shared_ptr<Control> pane) { left_ = std::move(pane); }
    std::shared_ptr<Control> RightPane() const { return right_; }
    void setRightPane(std::shared_ptr<Control> pane) { right_ = std::move(pane); }
    std::shared_ptr<Control> SplitBar() const { return bar_; }
    void setSplitBar(std::shared_ptr<Control> bar) { bar_ = std::move(bar); }

    // The stacked names store nothing and always read empty (see HSplit).
    std::shared_ptr<Control> TopPane() const { return nullptr; }
    void setTopPane(std::shared_ptr<Control>) {}
    std::shared_ptr<Control> BottomPane() const { return nullptr; }
    void setBottomPane(std::shared_ptr<Control>) {}

    bool SplitOn() const { return splitOn_; }
    void setSplitOn(bool on) { splitOn_ = on; }

    bool SetPointer(std::int16_t pType);

    // Moves the bar right by Twips (left when negative) and lays both panes out around it,
    // with the same rules as HSplit::ResizePanes.
    void ResizePanes(double Twips = 0);

private:
    std::shared_ptr<Host> host_;
    std::shared_ptr<Control> left_;
    std::shared_ptr<Control> right_;
    std::shared_ptr<Control> bar_;
    bool splitOn_ = false;
};

// "3.0.0"
PANEFOLD_EXPORT const char* version();

} // namespace panefold
