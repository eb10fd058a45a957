// The revocation time-out field is declared only on request.
#define CERT_REVOCATION_PARA_HAS_EXTRA_FIELDS
#include "net/tls_certificate_checks.h"

#include <wincrypt.h>
#include <schannel.h>

#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "net/net_errors.h"
#include "net/tls_failure.h"

namespace Kx {

namespace {
// Security statuses raised by the checks themselves.
constexpr std::int32_t kWrongPrincipal = static_cast<std::int32_t>(0x80090322);  // SEC_E_WRONG_PRINCIPAL
constexpr std::int32_t kCertExpired = static_cast<std::int32_t>(0x80090328);     // SEC_E_CERT_EXPIRED
// Revocation outcomes that do not fail the connection.
constexpr DWORD kNoRevocationCheck = 0x80092012;  // CRYPT_E_NO_REVOCATION_CHECK
constexpr DWORD kRevocationOffline = 0x80092013;  // CRYPT_E_REVOCATION_OFFLINE

struct certificateOwner {
  PCCERT_CONTEXT cert = nullptr;
  ~certificateOwner() {
    if (cert) CertFreeCertificateContext(cert);
  }
};

struct chainOwner {
  PCCERT_CHAIN_CONTEXT chain = nullptr;
  ~chainOwner() {
    if (chain) CertFreeCertificateChain(chain);
  }
};

[[noreturn]] void throwLastError() { throw exception_network_authentication::fromLastError(GetLastError()); }

// The chain's own error status, for platforms whose policy check lets a
// partial or untrusted chain pass. Revocation bits are left to the
// revocation check, which tolerates "offline" and "no check".
void rejectChainErrors(const CERT_CHAIN_CONTEXT& chain) {
  const DWORD revocationBits = CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION;
  const DWORD status = chain.TrustStatus.dwErrorStatus & ~revocationBits;
  if (status == 0) return;
  if (status & CERT_TRUST_IS_NOT_TIME_VALID) throwTlsFailure(CERT_E_EXPIRED);
  if (status & CERT_TRUST_IS_REVOKED) throwTlsFailure(CRYPT_E_REVOKED);
  if (status & CERT_TRUST_IS_UNTRUSTED_ROOT) throwTlsFailure(CERT_E_UNTRUSTEDROOT);
  throwTlsFailure(CERT_E_CHAINING);
}

// One revocation query, run on its own thread so that the caller can stop
// waiting; the thread keeps its own references to the certificates.
struct revocationQuery {
  std::vector<PCCERT_CONTEXT> certs;
  PCCERT_CONTEXT issuer = nullptr;
  ~revocationQuery() {
    for (PCCERT_CONTEXT c : certs) CertFreeCertificateContext(c);
    if (issuer) CertFreeCertificateContext(issuer);
  }
  // 0 when the certificate passed, else the revocation error.
  DWORD run() {
    CERT_REVOCATION_PARA para{};
    para.cbSize = sizeof para;
    para.pIssuerCert = issuer;
    para.dwUrlRetrievalTimeout = kRevocationDeadlineMs;
    CERT_REVOCATION_STATUS status{};
    status.cbSize = sizeof status;
    if (CertVerifyRevocation(X509_ASN_ENCODING, CERT_CONTEXT_REVOCATION_TYPE, static_cast<DWORD>(certs.size()),
                             reinterpret_cast<void**>(const_cast<PCERT_CONTEXT*>(certs.data())), CERT_VERIFY_REV_CHAIN_FLAG, &para, &status))
      return 0;
    return status.dwError ? status.dwError : GetLastError();
  }
};

DWORD revocationErrorWithin(PCCERT_CONTEXT endCert, PCCERT_CONTEXT issuer, DWORD deadlineMs) {
  auto query = std::make_shared<revocationQuery>();
  query->certs.push_back(CertDuplicateCertificateContext(endCert));
  if (issuer) query->issuer = CertDuplicateCertificateContext(issuer);
  auto outcome = std::make_shared<std::promise<DWORD>>();
  std::future<DWORD> result = outcome->get_future();
  std::thread([query, outcome] { outcome->set_value(query->run()); }).detach();
  if (result.wait_for(std::chrono::milliseconds(deadlineMs)) != std::future_status::ready) return kRevocationOffline;
  return result.get();
}

void checkRevocation(const CERT_CHAIN_CONTEXT& chain) {
  for (DWORD i = 0; i < chain.cChain; ++i) {
    const CERT_SIMPLE_CHAIN& simple = *chain.rgpChain[i];
    if (simple.cElement == 0) continue;
    PCCERT_CONTEXT endCert = simple.rgpElement[0]->pCertContext;
    PCCERT_CONTEXT issuer = simple.cElement > 1 ? simple.rgpElement[1]->pCertContext : nullptr;
    const DWORD error = revocationErrorWithin(endCert, issuer, kRevocationDeadlineMs);
    if (error != 0 && error != kNoRevocationCheck && error != kRevocationOffline)
      throwTlsFailure(static_cast<std::int32_t>(error));
  }
}
}  // namespace

void verifyServerCertificateOf(CtxtHandle& context, const std::wstring& host) {
  certificateOwner server;
  const SECURITY_STATUS status = QueryContextAttributesW(&context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &server.cert);
  if (status != SEC_E_OK) throwTlsFailure(status);
  if (!server.cert) throwTlsFailure(kWrongPrincipal);
  if (CertVerifyTimeValidity(nullptr, server.cert->pCertInfo) != 0) throwTlsFailure(kCertExpired);

  CERT_CHAIN_PARA chainPara{};
  chainPara.cbSize = sizeof chainPara;
  chainOwner chain;
  if (!CertGetCertificateChain(nullptr, server.cert, nullptr, server.cert->hCertStore, &chainPara, 0, nullptr,
                               &chain.chain))
    throwLastError();

  HTTPSPolicyCallbackData https{};
  https.cbStruct = sizeof https;
  https.dwAuthType = AUTHTYPE_SERVER;
  https.fdwChecks = 0;
  https.pwszServerName = const_cast<wchar_t*>(host.c_str());
  CERT_CHAIN_POLICY_PARA policyPara{};
  policyPara.cbSize = sizeof policyPara;
  policyPara.pvExtraPolicyPara = &https;
  CERT_CHAIN_POLICY_STATUS policyStatus{};
  policyStatus.cbSize = sizeof policyStatus;
  if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain.chain, &policyPara, &policyStatus))
    throwLastError();
  if (policyStatus.dwError != 0) throwTlsFailure(static_cast<std::int32_t>(policyStatus.dwError));
  rejectChainErrors(*chain.chain);
  checkRevocation(*chain.chain);
}

}  // namespace Kx
