#pragma once
// Hands the main display's pointer events to the tool of the page that is showing. Tools are looked
// up by page name in the order they were added; a page without a tool ignores the pointer.
#include "decoration/CanvasTool.h"

#include <QtCore/QString>
#include <functional>
#include <utility>
#include <vector>

class CanvasRouter
{
  public:
    // activePage names the page showing now; leftButtonDown reads the live button state.
    CanvasRouter(std::function<QString()> activePage, std::function<bool()> leftButtonDown)
        : activePage_(std::move(activePage)), leftButtonDown_(std::move(leftButtonDown))
    {
    }

    void addTool(const QString& pageName, CanvasTool& tool) { tools_.emplace_back(pageName, &tool); }
    bool hasToolForActivePage() const { return activeTool() != nullptr; }

    void IkDispMainMouseDownImage(QPoint at, Qt::MouseButton button)
    {
        if (CanvasTool* tool = activeTool())
            tool->press(at, button);
    }
    void IkDispMainMouseMove(QPoint at)
    {
        if (!leftButtonDown_())
            return;
        if (CanvasTool* tool = activeTool())
            tool->move(at);
    }
    void IkDispMainMouseUpImage(QPoint at)
    {
        if (CanvasTool* tool = activeTool())
            tool->release(at);
    }

  private:
    CanvasTool* activeTool() const
    {
        const QString page = activePage_();
        for (const auto& [name, tool] : tools_)
            if (name == page)
                return tool;
        return nullptr;
    }

    std::function<QString()> activePage_;
    std::function<bool()> leftButtonDown_;
    std::vector<std::pair<QString, CanvasTool*>> tools_;
};
