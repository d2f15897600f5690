// zambrix: the operator's window.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QLabel label("ZAMBRIX programmer");
  label.show();
  return app.exec();
}
