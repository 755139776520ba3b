// Building the channel's pages: escaping of everything users typed, and the frame every page shares.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace tundrix::channel {

// Escapes & < > " ' so that text is safe inside elements and quoted attribute values.
std::string escapeHtml(std::string_view text);

// A Swedish text with its English beside it: "<span lang=sv>..</span> <span lang=en>..</span>".
// Both must be trusted HTML (no user text).
std::string both(std::string_view swedish, std::string_view english);

// A page's heading: the Swedish, and the English beside it in a lighter hand. Both trusted HTML.
std::string heading(std::string_view swedish, std::string_view english);

// Who looks at the page, for the bar at the top.
struct Visitor {
    std::string nickname; // empty: not logged in
    std::string csrf;     // the session's form token (the log-out button carries it)
};

// The whole document: head with the stylesheet, the bar with the channel's name and the menu, the
// given body, the footer. title is plain text (escaped here).
std::string page(const Visitor& visitor, std::string_view title, std::string_view body);

// An error of a form, by the field it belongs to.
struct FieldError {
    std::string field; // the input's id ("" for the form as a whole)
    std::string text;  // plain text, "Swedish / English"
};

// A labelled input (label trusted HTML, value escaped here) with its errors right below it, tied to it
// for screen readers; the first field in error takes the focus.
std::string labelledInput(const std::vector<FieldError>& errors, std::string_view type, const std::string& id,
                          std::string_view label, std::string_view value, std::string_view extra);
// The errors that belong to no field, as an alert above the form.
std::string formErrors(const std::vector<FieldError>& errors);

// A hidden input with the session's form token.
std::string csrfField(const std::string& csrf);

// The one stylesheet, served at /style.css.
std::string_view styleSheet();

} // namespace tundrix::channel
