#include "shell/LoginDialog.h"

#include "platform/text/LocalText.h"
#include "services/InterfaceTexts.h"
#include "ui/QtText.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvane {

LoginDialog::LoginDialog(QWidget* parent)
    : QDialog(parent), user_(new QLineEdit(this)), company_(new QLineEdit(this)), password_(new QLineEdit(this)),
      error_(new QLabel(this))
{
    const std::shared_ptr<const InterfaceTexts> texts = InterfaceTexts::current();
    const auto caption = [&texts](const char* component, const std::string& designText) {
        return text::toQString(texts->text(textObject::shell, component, designText));
    };
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(caption("frmLogin", LOCAL_TEXT(u8"登录")));
    user_->setObjectName(QStringLiteral("edUser"));
    company_->setObjectName(QStringLiteral("edCompany"));
    password_->setObjectName(QStringLiteral("edPassword"));
    password_->setEchoMode(QLineEdit::Password);
    error_->setObjectName(QStringLiteral("lblError"));
    error_->setWordWrap(true);
    error_->hide();

    auto* form = new QFormLayout;
    const auto row = [&](const char* label, const std::string& designText, QLineEdit* edit) {
        auto* shown = new QLabel(caption(label, designText), this);
        shown->setObjectName(QLatin1String(label));
        shown->setBuddy(edit);
        form->addRow(shown, edit);
    };
    row("lblUser", LOCAL_TEXT(u8"用户代号"), user_);
    row("lblCompany", LOCAL_TEXT(u8"公司代号"), company_);
    row("lblPassword", LOCAL_TEXT(u8"密码"), password_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("btnLogin"));
    buttons->button(QDialogButtonBox::Ok)->setText(caption("btnLogin", LOCAL_TEXT(u8"登录")));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(error_);
    layout->addWidget(buttons);
}

void LoginDialog::setIdentity(const std::string& user, const std::string& company)
{
    user_->setText(text::toQString(user));
    company_->setText(text::toQString(company));
    (user.empty() ? user_ : password_)->setFocus();
}

void LoginDialog::setError(const std::string& message)
{
    error_->setText(QString::fromStdString(message));
    error_->setVisible(!message.empty());
}

ServerCredentials LoginDialog::takeCredentials()
{
    ServerCredentials credentials{text::fromQString(user_->text().trimmed()), text::fromQString(password_->text()),
                                  text::fromQString(company_->text().trimmed())};
    password_->clear();
    return credentials;
}

} // namespace orvane
