// The login request built from the router's own login form.
#pragma once

#include <string>
#include <string_view>

namespace velmo {

// Finds the login form in `menuPage` (the GET form first, then the POST form)
// and builds "cgi-bin/logi?" followed by the form's hidden fields and the
// password pair, "&"-separated, in the order they stand in the form; the
// password pair goes before the first hidden field after the password input,
// or last. The password field's name is the 3 bytes after the password
// input's "NAME=". Every name and value is form-encoded as a browser submits
// a form (see FormEncode). False, `request` unspecified, when the page has no
// usable form: no form, no password input, or a hidden field whose other half
// ("NAME=...>" or "VALUE=...>") is missing.
bool BuildLoginRequest(const std::string& menuPage, const std::string& rootPassword, std::string& request);

// application/x-www-form-urlencoded: ASCII letters, digits and "*-._" stay,
// a blank becomes "+", every other byte becomes "%XX" (upper-case hex).
std::string FormEncode(std::string_view text);

}  // namespace velmo
