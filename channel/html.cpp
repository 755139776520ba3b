// Escaping, the shared page frame and the stylesheet in the game's colours.
#include "channel/html.h"

#include "channel/site_paths.h"
#include "protocol/paths.h"

namespace tundrix::channel {

std::string escapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string both(std::string_view swedish, std::string_view english) {
    return "<span lang=\"sv\">" + std::string(swedish) + "</span> <span class=\"en\" lang=\"en\">" +
           std::string(english) + "</span>";
}

std::string csrfField(const std::string& csrf) {
    return "<input type=\"hidden\" name=\"csrf\" value=\"" + escapeHtml(csrf) + "\">";
}

std::string heading(std::string_view swedish, std::string_view english) {
    return "<h1>" + std::string(swedish) + " <span class=\"en\" lang=\"en\">" + std::string(english) +
           "</span></h1>";
}

std::string labelledInput(const std::vector<FieldError>& errors, std::string_view type, const std::string& id,
                          std::string_view label, std::string_view value, std::string_view extra) {
    std::string messages;
    for (const FieldError& e : errors)
        if (e.field == id) messages += "<span>" + escapeHtml(e.text) + "</span> ";
    const bool first = !errors.empty() && errors.front().field == id;
    std::string html = "<label for=\"" + id + "\">" + std::string(label) + "</label><input type=\"" +
                       std::string(type) + "\" id=\"" + id + "\" name=\"" + id + "\" value=\"" +
                       escapeHtml(value) + "\" " + std::string(extra);
    if (!messages.empty()) html += " aria-invalid=\"true\" aria-describedby=\"" + id + "-error\"";
    if (first) html += " autofocus";
    html += ">";
    if (!messages.empty()) html += "<p class=\"field-error\" id=\"" + id + "-error\">" + messages + "</p>";
    return html;
}

std::string formErrors(const std::vector<FieldError>& errors) {
    std::string items;
    for (const FieldError& e : errors)
        if (e.field.empty()) items += "<li>" + escapeHtml(e.text) + "</li>";
    if (items.empty()) return "";
    return "<div class=\"error\" role=\"alert\"><ul>" + items + "</ul></div>";
}

std::string page(const Visitor& visitor, std::string_view title, std::string_view body) {
    std::string account;
    if (visitor.nickname.empty()) {
        account = "<a href=\"/logga-in/\">" + both("Logga in", "Log in") + "</a>" + "<a href=\"" +
                  std::string(protocol::SIGNUP_PATH) + "\">" + both("Bli medlem", "Sign up") + "</a>";
    } else {
        account = "<a href=\"" + std::string(protocol::CHALLENGE_PATH) + "\">" + both("Utmana", "Challenge") +
                  "</a>" + "<form method=\"post\" action=\"/logga-ut/\" class=\"inline\">" +
                  csrfField(visitor.csrf) + "<button type=\"submit\">" + both("Logga ut", "Log out") +
                  "</button></form>" + "<a class=\"who\" href=\"" + MEMBER_PATH +
                  "\" title=\"Mina sidor / My page\">" + escapeHtml(visitor.nickname) + "</a>";
    }
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"sv\"><head><meta charset=\"utf-8\">"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
        "<title>" +
        escapeHtml(title) +
        " - Lumora</title><link rel=\"stylesheet\" href=\"/style.css\"></head><body>"
        "<header><a class=\"brand\" href=\"/\">Lumora <small>Tundrix Ice-Hockey Cup</small></a>"
        "<nav><a href=\"/\">" +
        both("Topplistor", "Leaderboards") + "</a>" + account + "</nav></header><main>" + std::string(body) +
        "</main><footer>" +
        both("Lumora &ndash; gratis spel, riktiga priser.", "Lumora &ndash; free games, real prizes.") +
        " <a href=\"" + std::string(protocol::LIBRARY_HELP_PATH) + "\">" +
        both("Hjälp med att skicka poäng", "Help with posting scores") + "</a></footer></body></html>\n";
    return html;
}

std::string_view styleSheet() {
    // Navy and gold of the game's title, the rink's white; one column that fits a phone.
    return R"css(:root{--navy:#0a1030;--navy2:#16245a;--gold:#ffc820;--ice:#f4f8fc;--line:#2060d0;--red:#d21e30}
*{box-sizing:border-box}
body{margin:0;font-family:"DejaVu Sans",Verdana,Arial,sans-serif;background:var(--ice);color:#111a33;line-height:1.45}
header{background:linear-gradient(var(--navy),var(--navy2));border-bottom:4px solid var(--gold);padding:.6rem 1rem;display:flex;flex-wrap:wrap;align-items:center;gap:.5rem 1.5rem}
header a{color:#fff;text-decoration:none}
.brand{font-weight:bold;font-size:1.4rem;color:var(--gold)}
.brand small{display:block;font-size:.75rem;color:#fff;font-weight:normal;letter-spacing:.05em}
nav{display:flex;flex-wrap:wrap;gap:.4rem 1rem;align-items:center}
nav a,nav button{color:#fff;padding:.3rem 0;font-size:.95rem}
nav button{background:none;border:0;cursor:pointer;font:inherit}
nav a:hover,nav button:hover{color:var(--gold)}
.who{color:var(--gold);font-weight:bold}
.en{color:#5a6784;font-style:italic}
header .en{color:#b8c2e0}
nav .en::before{content:"/ "}
main{max-width:60rem;margin:0 auto;padding:1rem}
h1{color:var(--navy);border-bottom:3px solid var(--gold);padding-bottom:.3rem;font-size:1.6rem}
h1 .en{display:block;font-size:1rem}
h2{color:var(--navy2);font-size:1.2rem;margin-top:1.5rem}
section>h2:first-child{margin-top:.2rem}
.boards{display:grid;grid-template-columns:repeat(auto-fit,minmax(16rem,1fr));gap:1rem}
section.card{margin-top:1rem}
section.card,.boards section{background:#fff;border:1px solid #cfd9ea;border-top:4px solid var(--line);border-radius:6px;padding:.8rem 1rem}
table{width:100%;border-collapse:collapse}
th,td{text-align:left;padding:.25rem .4rem;border-bottom:1px solid #e3e9f3}
td.num,th.num{text-align:right;font-variant-numeric:tabular-nums;white-space:nowrap}
th.num{white-space:normal}
td.nick{overflow-wrap:anywhere;word-break:break-word}
.boards table,.competition table{table-layout:fixed}
.boards th.rank,.competition th.rank{width:3.4rem}
.boards th.num,.competition th.num{width:7.5em}
.competition-list{display:grid;grid-template-columns:repeat(auto-fit,minmax(min(18rem,100%),1fr));gap:1rem}
article.competition{background:#fff;border:1px solid #cfd9ea;border-top:4px solid var(--gold);border-radius:6px;padding:.8rem 1rem;min-width:0}
article.competition h3{margin:.2rem 0;color:var(--navy)}
.meta{color:#3d4a66;margin:.3rem 0}
.announcement{background:#fff6d6;border-left:4px solid var(--navy);padding:.5rem .8rem;font-weight:bold}
a.button{display:inline-block;background:var(--navy);color:#fff;border-radius:4px;padding:.5rem 1.2rem;font-weight:bold;text-decoration:none}
a.button .en{color:#dfe5f5}
ol.winners li{margin:.3rem 0}
tr:first-child td{font-weight:bold}
td.rank{color:#5a6784;width:3.4rem;white-space:nowrap}
time.when{display:block;font-size:.75rem;color:#535e78;font-weight:normal}
tr.own td{background:#fff6d6;color:var(--navy);font-weight:bold}
tr.own td.nick::after{content:" \2190"}
.field-error{color:#a3152b;font-weight:bold;margin:.3rem 0}
input[aria-invalid=true]{border:2px solid #a3152b}
.empty{color:#5a6784}
a.run{color:#1d6b35;text-decoration:none;font-size:.85rem;padding-left:.2rem}
span.unverified,tr.unverified td{color:#535e78}
.legend{font-size:.85rem;color:#5a6784}
form.panel{background:#fff;border:1px solid #cfd9ea;border-radius:6px;padding:1rem;max-width:28rem}
label{display:block;margin:.7rem 0 .2rem;font-weight:bold}
input[type=email],input[type=text],input[type=password]{width:100%;padding:.55rem;border:1px solid #66759a;border-radius:4px;font-size:1rem}
button.go .en{color:var(--navy2)}
button.go{margin-top:1rem;background:var(--gold);color:var(--navy);border:2px solid var(--navy);border-radius:4px;padding:.5rem 1.2rem;font-weight:bold;font-size:1rem;cursor:pointer}
form.inline{display:inline}
.error{background:#fde8ea;border-left:4px solid var(--red);padding:.5rem .8rem}
.ok{background:#e6f4e6;border-left:4px solid #2a8a2a;padding:.5rem .8rem}
code,.link{background:#e8eef8;padding:.15rem .35rem;border-radius:3px;word-break:break-all}
footer{max-width:60rem;margin:2rem auto;padding:1rem;border-top:1px solid #cfd9ea;font-size:.85rem}
footer a{color:var(--line)}
@media (max-width:40rem){header{padding:.5rem .7rem}main{padding:.7rem}h1{font-size:1.3rem}}
)css";
}

} // namespace tundrix::channel
