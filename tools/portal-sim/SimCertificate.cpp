// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/portal-sim/SimCertificate.h"

#include <openssl/x509v3.h>

#include <stdexcept>

namespace skartina::sim {

Certificate MakeLoopbackCertificate() {
    Certificate made;
    made.key.reset(EVP_EC_gen("P-256"));
    made.cert.reset(X509_new());
    if (!made.key || !made.cert) throw std::runtime_error("OpenSSL could not make a key");
    X509* cert = made.cert.get();
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert), 7L * 24 * 3600);
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
    X509_set_issuer_name(cert, name);
    X509_set_pubkey(cert, made.key.get());
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, cert, cert, nullptr, nullptr, 0);
    X509_EXTENSION* altNames = X509V3_EXT_conf_nid(nullptr, &context, NID_subject_alt_name, "IP:127.0.0.1");
    if (!altNames || !X509_add_ext(cert, altNames, -1)) throw std::runtime_error("OpenSSL could not name the certificate");
    X509_EXTENSION_free(altNames);
    if (!X509_sign(cert, made.key.get(), EVP_sha256())) throw std::runtime_error("OpenSSL could not sign the certificate");
    return made;
}

}  // namespace skartina::sim
