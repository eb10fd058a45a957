// Answers to HTTP authentication challenges ("WWW-Authenticate" and
// "Proxy-Authenticate" values): Basic, and Digest with MD5 or MD5-sess and
// quality of protection "auth". Any challenge that cannot be answered is
// passed over; when none can, the answer is Basic.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace Kx {

// Makes the client nonce of a Digest answer: 32 lower-case hexadecimal digits.
using cnonceSource = std::function<std::string()>;

// The whole header value ("Basic ..." or "Digest ...") for `method`, the
// challenges in the order received, `credentials` (user, and ":" password
// when there is one) and `uri` as the request line carries it.
std::string authorizationValue(std::string_view method, const std::vector<std::string>& challenges,
                               std::string_view credentials, std::string_view uri, const cnonceSource& makeCnonce);

// A challenge cut into tokens at blanks and commas outside double quotes.
std::vector<std::string> challengeTokens(std::string_view challenge);

}  // namespace Kx
