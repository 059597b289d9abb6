#include "routerlog/LoginRequest.h"

#include <cstddef>
#include <vector>

#include "base/SjisText.h"
#include "router/MarkerExtraction.h"

namespace velmo {

namespace {

// The login form's markup, as the router writes it. Built once.
struct LoginFormMarkers {
    std::vector<MarkerPair> form = {
        {"<FORM ACTION=/cgi-bin/logi METHOD=GET NAME=LOGIN>", "</FORM>"},
        {"<FORM ACTION=/cgi-bin/logi METHOD=POST NAME=LOGIN>", "</FORM>"},
    };
    std::vector<MarkerPair> hiddenValueFirst = {{"<INPUT TYPE=HIDDEN VALUE=\"", "\""}};
    std::vector<MarkerPair> hiddenNameFirst = {{"<INPUT TYPE=HIDDEN NAME=", " "}};
    std::vector<MarkerPair> nameAttribute = {{"NAME=", ">"}};
    std::vector<MarkerPair> valueAttribute = {{"VALUE=", ">"}};
    std::string passwordInput = "<INPUT TYPE=PASSWORD NAME=";
};

const LoginFormMarkers& Markers() {
    static const LoginFormMarkers markers;
    return markers;
}

constexpr std::string_view kLoginRequestPrefix = "cgi-bin/logi?";
constexpr std::size_t kPasswordNameLength = 3;

// Appends one name=value pair; every pair but the first is preceded by "&".
class PairWriter {
  public:
    explicit PairWriter(std::string& request) : request_(request) {}

    void Write(std::string_view name, std::string_view value) {
        if (noPairYet_) {
            noPairYet_ = false;
        } else {
            request_ += '&';
        }
        request_ += FormEncode(name);
        request_ += '=';
        request_ += FormEncode(value);
    }

  private:
    std::string& request_;
    bool noPairYet_ = true;
};

bool IsUnreserved(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
           byte == '*' || byte == '-' || byte == '.' || byte == '_';
}

}  // namespace

std::string FormEncode(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsUnreserved(byte)) {
            encoded += c;
        } else if (byte == ' ') {
            encoded += '+';
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0x0F];
        }
    }
    return encoded;
}

bool BuildLoginRequest(const std::string& menuPage, const std::string& rootPassword, std::string& request) {
    const LoginFormMarkers& markers = Markers();

    // The form: the GET row is tried first, whatever stands first in the page.
    std::string form;
    if (!ExtractBetween(form, menuPage, markers.form)) {
        return false;
    }
    request.assign(kLoginRequestPrefix);
    // The password field's name is exactly the 3 bytes after the marker.
    const std::size_t passwordPosition = SjisFind(form, markers.passwordInput);
    if (passwordPosition == npos) {
        return false;
    }
    const std::string passwordName =
        form.substr(passwordPosition + markers.passwordInput.size(), kPasswordNameLength);
    // The hidden fields in page order, the password inserted before the
    // first of them that follows its input field.
    bool passwordPending = true;
    PairWriter pairs(request);
    std::size_t position = 0;
    // Each pass consumes at least one marker, so the loop ends.
    for (;;) {
        std::string name;
        std::string value;
        if (!ExtractBetween(value, form, markers.hiddenValueFirst, position, &position) &&
            !ExtractBetween(name, form, markers.hiddenNameFirst, position, &position)) {
            break;
        }
        if (passwordPending && passwordPosition < position) {
            pairs.Write(passwordName, rootPassword);
            passwordPending = false;
        }
        if (!value.empty()) {
            if (!ExtractBetween(name, form, markers.nameAttribute, position, &position)) {
                return false;
            }
        } else if (!name.empty()) {
            if (!ExtractBetween(value, form, markers.valueAttribute, position, &position)) {
                return false;
            }
        }
        pairs.Write(name, value);
    }
    // No hidden field after the password's input: the password comes last.
    if (passwordPending) {
        pairs.Write(passwordName, rootPassword);
    }
    return true;
}

}  // namespace velmo
