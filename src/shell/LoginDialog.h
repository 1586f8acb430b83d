#pragma once
// The login window: user, company and password. The password is only read once, for the
// login, and the field is cleared at once. Client thread only.

#include "shell/ServerAccess.h"

#include <QDialog>

class QLabel;
class QLineEdit;

namespace orvane {

class LoginDialog : public QDialog {
    Q_OBJECT
public:
    explicit LoginDialog(QWidget* parent = nullptr);

    // Fills user and company (client code page), e.g. from the last login.
    void setIdentity(const std::string& user, const std::string& company);
    // Shows why the last attempt failed (UTF-8).
    void setError(const std::string& message);
    // The typed credentials in the client code page; empties the password field.
    ServerCredentials takeCredentials();

    QLineEdit& userEdit() { return *user_; }
    QLineEdit& passwordEdit() { return *password_; }

private:
    QLineEdit* user_;
    QLineEdit* company_;
    QLineEdit* password_;
    QLabel* error_;
};

} // namespace orvane
