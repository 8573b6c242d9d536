#pragma once
// The three views of a tab's database, and what belongs to each: the
// command that shows it and the name the main window takes while it is
// shown, under which the window's placement is kept.
namespace quorvil {

enum class TViewMode { Grid, List, Record };

struct TViewFacts {
    TViewMode Mode;
    const char* Button;   // the command's object name
    const char* Caption;  // its menu text
    const char* Form;     // the main window's object name
};

inline constexpr TViewFacts kViews[] = {
    {TViewMode::Grid, "GridBtn", "&Grid", "MainForm"},
    {TViewMode::List, "ListBtn", "&List", "ListForm"},
    {TViewMode::Record, "RecBtn", "&Record", "RecForm"},
};

constexpr const TViewFacts& ViewFacts(TViewMode mode)
{
    return kViews[static_cast<int>(mode)];
}

}  // namespace quorvil
