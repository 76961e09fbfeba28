#include "platform/posix/forms/console_backend.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <limits>
#include <optional>
#include <utility>

#include "platform/forms/form.h"
#include "platform/forms/message_box.h"
#include "platform/forms/user_interface.h"
#include "platform/platform_error.h"

namespace platform::posix {

using forms::Control;
using forms::ControlKind;

namespace {

class ConsoleView : public forms::FormView {
  public:
    ConsoleView(ConsoleBackend& backend, forms::Form& form) : backend_(backend), form_(form) {}
    ~ConsoleView() override { backend_.ViewClosed(form_); }
    void Refresh(Control&) override {}
    void Focus(Control&) override {}

  private:
    ConsoleBackend& backend_;
    forms::Form& form_;
};

void WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

std::string WithoutMnemonic(const std::string& caption) {
    std::string plain;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        plain += caption[i];
    }
    return plain;
}

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

std::string IconWord(unsigned style) {
    switch (style & forms::kMbIconMask) {
        case forms::kMbIconHand:
            return "Error: ";
        case forms::kMbIconExclamation:
            return "Warning: ";
        default:
            return {};
    }
}

struct Choice {
    char key;
    int id;
    std::string label;
    std::string name;
};

std::vector<Choice> ChoicesFor(unsigned style) {
    switch (style & forms::kMbButtonsMask) {
        case forms::kMbOkCancel:
            return {{'o', forms::kIdOk, "[O]K", "OK"},
                    {'c', forms::kIdCancel, "[C]ancel", "Cancel"}};
        case forms::kMbYesNo:
            return {{'y', forms::kIdYes, "[Y]es", "Yes"}, {'n', forms::kIdNo, "[N]o", "No"}};
        default:
            return {{'o', forms::kIdOk, "[O]K", "OK"}};
    }
}

// The controls a user can pick by number: buttons, and labels that act on a
// click, wherever they lie (the About box keeps its OK in a picture box).
std::vector<Control*> Pickable(const forms::Form& form) {
    std::vector<Control*> picks;
    for (Control* control : form.Controls()) {
        if (control->Kind() == ControlKind::CommandButton ||
            (control->Kind() == ControlKind::Label && control->OnClick)) {
            picks.push_back(control);
        }
    }
    std::stable_sort(picks.begin(), picks.end(), [](const Control* a, const Control* b) {
        return a->TabIndex() < b->TabIndex();
    });
    return picks;
}

// The controls directly in container (null: the form) in reading order.
std::vector<Control*> Inside(const forms::Form& form, const Control* container) {
    std::vector<Control*> inside;
    for (Control* control : form.Controls()) {
        if (control->Container() == container) inside.push_back(control);
    }
    std::stable_sort(inside.begin(), inside.end(), [](const Control* a, const Control* b) {
        const forms::TwipsRect ra = a->Rect(), rb = b->Rect();
        return ra.top != rb.top ? ra.top < rb.top : ra.left < rb.left;
    });
    return inside;
}

// Captions keep their own line breaks (CR LF or either alone); a terminal
// wants bare line feeds.
std::string Lines(const std::string& caption, const std::string& indent) {
    std::string lines = indent;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        const char c = caption[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < caption.size() && caption[i + 1] == '\n') ++i;
            lines += "\n" + indent;
        } else {
            lines += c;
        }
    }
    return lines + "\n";
}

// "txtName" is shown as "Name": the type prefix means nothing to a user.
std::string BoxTitle(const std::string& name) {
    std::size_t i = 0;
    while (i < name.size() && std::islower(static_cast<unsigned char>(name[i]))) ++i;
    return i > 0 && i < name.size() ? name.substr(i) : name;
}

// Options are lettered a, b, c...; 't' is left for the text boxes.
std::string OptionKey(std::size_t index) {
    static const std::string letters = "abcdefghijklmnopqrsuvwxyz";
    if (index < letters.size()) return std::string(1, letters[index]);
    return "o" + std::to_string(index + 1);
}

// One drawing of a form: the text shown and what each key names.
struct Page {
    std::string text;
    std::vector<std::pair<std::string, Control*>> fields;
    std::size_t options = 0;
    std::size_t boxes = 0;
};

void Draw(const forms::Form& form, const Control* container, const std::string& indent,
          std::size_t boxCount, Page& page) {
    for (Control* control : Inside(form, container)) {
        switch (control->Kind()) {
            case ControlKind::Label:
                // Labels with a click handler are offered by number instead.
                if (!control->OnClick && !control->Caption().empty()) {
                    page.text += Lines(WithoutMnemonic(control->Caption()), indent);
                }
                break;
            case ControlKind::TextBox: {
                const auto& box = static_cast<const forms::TextBox&>(*control);
                ++page.boxes;
                const std::string key = boxCount == 1 ? "t" : "t" + std::to_string(page.boxes);
                page.fields.emplace_back(key, control);
                page.text +=
                    indent + "  " + key + ") " + BoxTitle(box.Name()) + ": [" + box.Text() + "]\n";
                break;
            }
            case ControlKind::OptionButton: {
                const auto& option = static_cast<const forms::OptionButton&>(*control);
                const std::string key = OptionKey(page.options++);
                page.fields.emplace_back(key, control);
                page.text += indent + "  " + key + ") " + (option.Value() ? "(*) " : "( ) ") +
                             WithoutMnemonic(option.Caption()) + "\n";
                break;
            }
            case ControlKind::Frame:
                page.text += indent + "-- " + WithoutMnemonic(control->Caption()) + " --\n";
                Draw(form, control, indent + "  ", boxCount, page);
                break;
            case ControlKind::PictureBox:
                // Only a backdrop here: what it holds is shown in its place.
                Draw(form, control, indent, boxCount, page);
                break;
            case ControlKind::CommandButton:
                break;
        }
    }
}

std::string HelpLine(const std::vector<Control*>& picks, const Page& page) {
    std::string help = "Commands: ";
    if (!picks.empty()) help += "1-" + std::to_string(picks.size()) + " click, ";
    if (page.options > 0) help += OptionKey(0) + "-" + OptionKey(page.options - 1) + " choose, ";
    if (page.boxes == 1) help += "t TEXT types a new text (t alone asks), ";
    if (page.boxes > 1) {
        help += "t1-t" + std::to_string(page.boxes) + " TEXT types a new text (alone: asks), ";
    }
    return help + "0 closes.\n";
}

}  // namespace

ConsoleBackend::Terminal ConsoleBackend::OpenTerminal() {
    const int tty = ::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (tty >= 0) return {tty, tty, true};
    if (::isatty(0) && ::isatty(2)) return {0, 2, false};
    return {};
}

ConsoleBackend::ConsoleBackend(Terminal terminal, int errorFd)
    : terminal_(terminal), errorFd_(errorFd) {}

ConsoleBackend::~ConsoleBackend() {
    if (terminal_.ownsDescriptors) {
        ::close(terminal_.in);
        if (terminal_.out != terminal_.in) ::close(terminal_.out);
    }
}

void ConsoleBackend::Write(const std::string& text) { WriteAll(terminal_.out, text); }

bool ConsoleBackend::ReadLine(std::string& line) {
    line.clear();
    char c = 0;
    for (;;) {
        const ssize_t n = ::read(terminal_.in, &c, 1);
        if (n <= 0) return !line.empty();
        if (c == '\n') return true;
        line += c;
    }
}

int ConsoleBackend::MessageBox(const std::string& text, unsigned style, const std::string& title) {
    const std::vector<Choice> choices = ChoicesFor(style);
    if (!terminal_.Present()) {
        WriteAll(errorFd_, title + ": " + IconWord(style) + text + "\n");
        return forms::SafeAnswer(style);
    }
    const std::size_t defaultIndex = std::min<std::size_t>((style >> 8) & 0x3, choices.size() - 1);
    std::string prompt;
    for (const Choice& choice : choices) prompt += (prompt.empty() ? "" : "/") + choice.label;
    prompt += " (Enter: " + choices[defaultIndex].name + ")? ";

    Write("\n[" + title + "]\n" + IconWord(style) + text + "\n");
    for (;;) {
        Write(prompt);
        std::string line;
        if (!ReadLine(line)) {
            Write("\n");
            return forms::SafeAnswer(style);
        }
        line = Trim(line);
        if (line.empty()) return choices[defaultIndex].id;
        const char key = static_cast<char>(std::tolower(static_cast<unsigned char>(line[0])));
        for (const Choice& choice : choices) {
            if (choice.key == key) return choice.id;
        }
    }
}

std::unique_ptr<forms::FormView> ConsoleBackend::CreateView(forms::Form& form, forms::Form*, bool) {
    if (!terminal_.Present()) throw PlatformError("no display and no terminal");
    shown_.push_back(&form);
    return std::make_unique<ConsoleView>(*this, form);
}

void ConsoleBackend::ViewClosed(forms::Form& form) {
    shown_.erase(std::remove(shown_.begin(), shown_.end(), &form), shown_.end());
}

void ConsoleBackend::RunModal(forms::Form& form) {
    Present([&form] { return !form.IsLoaded(); }, &form);
}

void ConsoleBackend::RunUntil(const std::function<bool()>& done) { Present(done, nullptr); }

void ConsoleBackend::Present(const std::function<bool()>& done, forms::Form* only) {
    while (!done()) {
        forms::Form* form = nullptr;
        if (only) {
            if (std::find(shown_.begin(), shown_.end(), only) != shown_.end()) form = only;
        } else if (!shown_.empty()) {
            form = shown_.back();
        }
        // Nothing the user could still act on.
        if (!form) return;
        Offer(*form);
    }
}

namespace {

// The form as the terminal shows it: its controls, then its buttons numbered.
Page PageOf(const forms::Form& form, const std::vector<Control*>& picks) {
    std::size_t boxCount = 0;
    for (const Control* control : form.Controls()) {
        if (control->Kind() == ControlKind::TextBox) ++boxCount;
    }
    Page page;
    page.text = "\n== " + form.Style().caption + " ==\n";
    Draw(form, nullptr, "", boxCount, page);
    for (std::size_t i = 0; i < picks.size(); ++i) {
        page.text +=
            "  " + std::to_string(i + 1) + ") " + WithoutMnemonic(picks[i]->Caption()) + "\n";
    }
    page.text += "  0) Close\n" + HelpLine(picks, page);
    return page;
}

// The number a command is, when it is one and nothing else.
std::optional<long> PickNumber(const std::string& command) {
    char* end = nullptr;
    const long pick = std::strtol(command.c_str(), &end, 10);
    if (!std::isdigit(static_cast<unsigned char>(command[0])) || *end != '\0') return std::nullopt;
    return pick;
}

}  // namespace

void ConsoleBackend::Offer(forms::Form& form) {
    const std::vector<Control*> picks = Pickable(form);
    const Page page = PageOf(form, picks);
    Write(page.text);

    // Each round acts once and returns, so the form is drawn again with
    // whatever the handlers changed.
    for (;;) {
        Write("Choose: ");
        std::string line;
        if (!ReadLine(line)) {
            // Nobody is left to answer: close it as the close box would.
            Write("\n");
            form.Ui().Unload(form);
            return;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string command = Trim(line);
        if (command.empty()) continue;

        if (const std::optional<long> pick = PickNumber(command)) {
            if (*pick < 0 || *pick > static_cast<long>(picks.size())) continue;
            if (*pick == 0) {
                form.Ui().Unload(form);
            } else {
                picks[static_cast<std::size_t>(*pick - 1)]->Click();
            }
            return;
        }

        // A key, then for a text box what is typed into it: everything after
        // one space, inner and trailing spaces too, so "t " empties the box.
        const std::string keyed = line.substr(line.find_first_not_of(" \t"));
        const std::size_t space = keyed.find(' ');
        std::string key = keyed.substr(0, space);
        for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const auto field = std::find_if(page.fields.begin(), page.fields.end(),
                                        [&key](const auto& f) { return f.first == key; });
        if (field == page.fields.end()) continue;

        if (field->second->Kind() == ControlKind::OptionButton) {
            if (space != std::string::npos && !Trim(keyed.substr(space)).empty()) continue;
            auto& option = static_cast<forms::OptionButton&>(*field->second);
            // As a click on it: the model turns the siblings off; Click only
            // when it was off, as a toolkit reports a change.
            if (option.Value()) return;
            option.SetValue(true);
            option.Click();
            return;
        }
        Retype(static_cast<forms::TextBox&>(*field->second),
               space == std::string::npos ? std::nullopt
                                          : std::optional<std::string>(keyed.substr(space + 1)));
        return;
    }
}

void ConsoleBackend::Retype(forms::TextBox& box, std::optional<std::string> typed) {
    if (!typed) {
        typed.emplace();
        Write("New text for " + BoxTitle(box.Name()) + " (Enter: keep it): ");
        if (!ReadLine(*typed)) return;  // the next round closes the form
        if (!typed->empty() && typed->back() == '\r') typed->pop_back();
        if (typed->empty()) return;
    }
    // Typed over the whole text, so the model keeps MaxLength in characters
    // exactly as for a user's typing.
    box.SetFocus();
    box.SetSelection(0, std::numeric_limits<int>::max());
    box.Type(*typed);
    if (box.Text() != *typed) {
        Write("At most " + std::to_string(box.MaxLength()) + " characters fit in " +
              BoxTitle(box.Name()) + ".\n");
    }
}

std::string ConsoleBackend::BrowseForFolder(const std::string& instruction) {
    if (!terminal_.Present()) throw PlatformError("no display and no terminal");
    Write("\n" + instruction + "\n");
    for (;;) {
        Write("Folder (Enter: cancel): ");
        std::string line;
        if (!ReadLine(line)) {
            Write("\n");
            return {};
        }
        std::string path = Trim(line);
        if (path.empty()) return {};
        if (path == "~" || path.rfind("~/", 0) == 0) {
            const char* home = std::getenv("HOME");
            if (home) path = home + path.substr(1);
        }
        struct stat info {};
        if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            char* real = ::realpath(path.c_str(), nullptr);
            if (real) {
                path = real;
                std::free(real);
            }
            return path;
        }
        Write("There is no folder " + path + "\n");
    }
}

}  // namespace platform::posix
