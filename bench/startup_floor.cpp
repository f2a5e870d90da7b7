// The toolkit's floor for start-up time and memory: a minimal Qt Widgets program with the same
// six controls on a fixed-size window and nothing else. scripts/bench-startup compares the
// calculator against it.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Zendrel1.0"));
  window.setFixedSize(360, 200);
  auto* first = new QLineEdit(&window);
  first->setGeometry(24, 24, 112, 24);
  auto* op = new QComboBox(&window);
  op->addItems({"+", "-", "*", "/"});
  op->setGeometry(152, 24, 48, 20);
  auto* second = new QLineEdit(&window);
  second->setGeometry(232, 24, 112, 24);
  auto* label = new QLabel(QStringLiteral("="), &window);
  label->setGeometry(32, 88, 64, 24);
  auto* result = new QLineEdit(&window);
  result->setGeometry(32, 144, 192, 28);
  auto* button = new QPushButton(QStringLiteral("结果"), &window);
  button->setGeometry(280, 144, 80, 32);
  window.show();
  return app.exec();
}
