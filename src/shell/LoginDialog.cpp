#include "shell/LoginDialog.h"

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
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("登录"));
    user_->setObjectName(QStringLiteral("edUser"));
    company_->setObjectName(QStringLiteral("edCompany"));
    password_->setObjectName(QStringLiteral("edPassword"));
    password_->setEchoMode(QLineEdit::Password);
    error_->setObjectName(QStringLiteral("lblError"));
    error_->setWordWrap(true);
    error_->hide();

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("用户代号"), user_);
    form->addRow(QStringLiteral("公司代号"), company_);
    form->addRow(QStringLiteral("密码"), password_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("登录"));
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
