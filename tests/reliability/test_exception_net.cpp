// The per-event exception net: a handler that throws ends its one event, its
// message is shown once, what it changed stays changed, and the next event
// works. A failure during start-up ends the program instead.
#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>

#include <gtest/gtest.h>

#include "FreshWindow.h"
#include "app/EventGuard.h"
#include "app/VelmoraApplication.h"

namespace reliability {
namespace {

using velmora::script::ScriptDriver;
using velmora::ui::TForm1;

void sendClick(QWidget* widget, QPointF at) {
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
  }
}

void sendKey(QWidget* widget, Qt::Key key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QApplication::sendEvent(widget, &release);
  ScriptDriver::settle();
}

// Each case breaks one handler so that it changes something and then
// throws, delivers the real event that runs it, checks what stayed, and
// then checks that a following event on another control works normally.
struct Case {
  const char* name;
  std::function<void(FreshWindow&)> prepare;  // before the handler is broken
  std::function<void(TForm1&)> breakHandler;
  std::function<void(FreshWindow&)> deliver;
  const char* message;
  std::function<void(TForm1&)> stayed;
  std::function<void(FreshWindow&)> next;
  std::function<void(TForm1&)> nextWorked;
};

[[noreturn]] void fail(const char* message) { throw std::runtime_error(message); }

TEST(ExceptionNet, AThrowingHandlerEndsOnlyItsEvent) {
  const Case cases[] = {
      {"check box click",
       {},
       [](TForm1& form) {
         form.CheckBox3->OnChange = [&form] {
           form.Series3->setTransparency(55);
           fail("Connect failed");
         };
       },
       [](FreshWindow& w) { w.run("click CheckBox3"); },
       "Connect failed",
       [](TForm1& form) {
         EXPECT_EQ(form.Series3->Transparency(), 55);
         EXPECT_FALSE(form.CheckBox3->isChecked());  // stored before the handler ran
       },
       [](FreshWindow& w) { w.run("click Switch1"); },
       [](TForm1& form) {
         EXPECT_TRUE(form.Switch1->isOn());
         EXPECT_EQ(form.Series3->count(), 3);
         EXPECT_TRUE(form.Series7->Active());
       }},
      {"switch flip",
       {},
       [](TForm1& form) {
         form.Switch1->OnSwitch = [&form] {
           form.Series1->setActive(false);
           fail("Switch failed");
         };
       },
       [](FreshWindow& w) { w.run("click Switch1"); },
       "Switch failed",
       [](TForm1& form) {
         EXPECT_FALSE(form.Series1->Active());
         EXPECT_TRUE(form.Switch1->isOn());
         EXPECT_EQ(form.Series3->count(), 0);
       },
       [](FreshWindow& w) { w.run("click CheckBox3"); },
       [](TForm1& form) { EXPECT_EQ(form.Series4->Transparency(), 100); }},
      {"slider click",
       {},
       [](TForm1& form) {
         form.TrackBar2->OnClick = [&form] {
           form.Label5->setText(QStringLiteral("clicked"));
           fail("Points click failed");
         };
       },
       [](FreshWindow& w) { w.run("click TrackBar2"); },
       "Points click failed",
       [](TForm1& form) { EXPECT_EQ(form.Label5->text(), QStringLiteral("clicked")); },
       [](FreshWindow& w) { w.run("click CheckBox2"); },
       [](TForm1& form) {
         EXPECT_TRUE(form.CheckBox2->isChecked());
         EXPECT_TRUE(form.Series9->Active());
       }},
      {"slider key",
       {},
       [](TForm1& form) {
         form.TrackBar1->OnChange = [&form] {
           // The axis refuses a minimum above its maximum.
           form.Chart1->model().BottomAxis().SetMinimum(1000.0);
         };
       },
       [](FreshWindow& w) { sendKey(w.form().TrackBar1, Qt::Key_End); },
       "Axis Minimum Value must be <= Maximum",
       [](TForm1& form) {
         EXPECT_EQ(form.TrackBar1->value(), 100.0f);
         EXPECT_EQ(form.Chart1->model().BottomAxis().Minimum(), 0.0);
       },
       [](FreshWindow& w) { w.run("set TrackBar2 10"); },
       [](TForm1& form) { EXPECT_EQ(form.Label5->text(), QStringLiteral("10")); }},
      {"legend press",
       {},
       [](TForm1& form) {
         form.Chart1->model().OnClickLegend = [&form](auto, auto, int, int) {
           form.Series10->setActive(true);
           fail("Legend failed");
         };
       },
       [](FreshWindow& w) { w.run("legend 1 right"); },
       "Legend failed",
       [](TForm1& form) {
         EXPECT_FALSE(form.Series2->Active());  // toggled by the chart first
         EXPECT_TRUE(form.Series10->Active());
       },
       [](FreshWindow& w) { w.run("wheel 1"); },
       [](TForm1& form) {
         EXPECT_TRUE(form.Chart1->model().Zoomed());
         EXPECT_EQ(velmora::ui::savedRange[1], form.Chart1->model().BottomAxis().Maximum());
       }},
      {"wheel zoom",
       {},
       [](TForm1& form) {
         form.Chart1->model().OnZoom = [&form] {
           form.Series2->setActive(false);
           fail("Zoom failed");
         };
       },
       [](FreshWindow& w) { w.run("wheel 1"); },
       "Zoom failed",
       [](TForm1& form) {
         EXPECT_TRUE(form.Chart1->model().Zoomed());
         EXPECT_LT(form.Chart1->model().BottomAxis().Maximum(), 70.0);
         EXPECT_EQ(velmora::ui::savedRange[1], 70.0);  // the handler did not get that far
         EXPECT_FALSE(form.Series2->Active());
       },
       [](FreshWindow& w) { w.run("legend 0"); },
       [](TForm1& form) { EXPECT_FALSE(form.Series1->Active()); }},
      {"reset drag",
       [](FreshWindow& w) { w.run("wheel 2"); },
       [](TForm1& form) {
         form.Chart1->model().OnUndoZoom = [&form] {
           form.Series1->setActive(false);
           fail("Reset failed");
         };
       },
       [](FreshWindow& w) {
         const QRectF plot = w.form().Chart1->lastLayout()->plot;
         const QPointF c = plot.center();
         w.run("drag left " + std::to_string(c.x()) + " " + std::to_string(c.y()) + " " +
               std::to_string(c.x() - 40) + " " + std::to_string(c.y() - 40));
       },
       "Reset failed",
       [](TForm1& form) {
         auto& model = form.Chart1->model();
         EXPECT_FALSE(model.Zoomed());
         // The bounds from before the first zoom are back.
         EXPECT_EQ(model.BottomAxis().Maximum(), 70.0);
         EXPECT_FALSE(form.Series1->Active());
       },
       [](FreshWindow& w) { w.run("click CheckBox3"); },
       [](TForm1& form) { EXPECT_EQ(form.Series3->Transparency(), 100); }},
      {"paint",
       {},
       [](TForm1& form) {
         auto thrown = std::make_shared<bool>(false);
         form.Chart1->model().OnAfterDraw = [&form, thrown] {
           if (*thrown) return form.Chart1AfterDraw(form.Chart1);
           *thrown = true;
           form.Label7->move(1, 1);
           fail("After-draw failed");
         };
         form.Chart1->update();
       },
       [](FreshWindow&) { ScriptDriver::settle(); },
       "After-draw failed",
       [](TForm1& form) {
         ASSERT_TRUE(form.Chart1->lastLayout());
         EXPECT_EQ(form.Chart1->lastLayout()->size, QSizeF(1000, 600));
       },
       [](FreshWindow& w) { w.run("set TrackBar1 100"); },
       [](TForm1& form) {
         // Painted again, and the hint is back in the plot's corner.
         EXPECT_EQ(form.Label7->pos(), QPoint(form.Chart1->model().LeftAxis().PosAxis() + 8,
                                              form.Chart1->model().TopAxis().PosAxis() + 8));
         EXPECT_EQ(form.Chart1->model().TopAxis().Minimum(), 5.0);
       }},
      {"handler run from another handler",
       [](FreshWindow& w) { w.run("click CheckBox2"); },
       [](TForm1& form) {
         // CheckBox1Change unchecks "Point #"; the exception reaches it and
         // ends it there.
         form.CheckBox2->OnChange = [] { fail("Point # failed"); };
       },
       [](FreshWindow& w) { w.run("click CheckBox1"); },
       "Point # failed",
       [](TForm1& form) {
         EXPECT_TRUE(form.CheckBox1->isChecked());
         EXPECT_FALSE(form.CheckBox2->isChecked());
         EXPECT_EQ(form.Series1->xValue(52), 52.0);  // the re-plot never ran
         EXPECT_EQ(velmora::ui::savedRange[1], 100.0);  // the reset before it did
       },
       [](FreshWindow& w) { w.run("click CheckBox1"); },
       [](TForm1& form) {
         EXPECT_FALSE(form.CheckBox1->isChecked());
         EXPECT_EQ(form.Series2->count(), 66);
         EXPECT_TRUE(form.TrackBar2->isEnabled());
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FreshWindow window;
    if (c.prepare) c.prepare(window);
    ASSERT_TRUE(window.driver().errors().empty());
    c.breakHandler(window.form());
    c.deliver(window);
    ScriptDriver::settle();
    EXPECT_EQ(window.driver().errors(), std::vector<std::string>{c.message});
    c.stayed(window.form());
    c.next(window);
    EXPECT_EQ(window.driver().errors().size(), 1u);
    c.nextWorked(window.form());
  }
}

// Without the driver the message goes to a dialog, once, after the event.
TEST(ExceptionNet, TheDefaultReporterShowsTheMessageInADialogOnce) {
  velmora::ui::createMainWindow();
  TForm1& form = *velmora::ui::Form1;
  form.show();
  ScriptDriver::settle();
  form.CheckBox3->OnChange = [&form] {
    form.Series4->setTransparency(30);
    fail("Connect failed");
  };

  struct Shown {
    QString text;
    QMessageBox::Icon icon;
    QString title;
  };
  std::vector<Shown> shown;
  QTimer closer;
  closer.setInterval(0);
  QObject::connect(&closer, &QTimer::timeout, [&shown] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown.push_back({box->text(), box->icon(), box->windowTitle()});
      box->done(QMessageBox::Ok);
    }
  });
  closer.start();

  sendClick(form.CheckBox3, QRectF(form.CheckBox3->rect()).center());
  EXPECT_TRUE(shown.empty());  // not inside the event
  EXPECT_EQ(form.Series4->Transparency(), 30);
  ScriptDriver::settle();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, QStringLiteral("Connect failed"));
  EXPECT_EQ(shown[0].icon, QMessageBox::Critical);
  EXPECT_EQ(shown[0].title, QStringLiteral("Velmora"));

  // The next event goes on normally, with no dialog.
  sendClick(form.Switch1, QRectF(form.Switch1->rect()).center());
  ScriptDriver::settle();
  closer.stop();
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_TRUE(form.Switch1->isOn());
  EXPECT_EQ(form.Series3->count(), 3);
  delete velmora::ui::Form1;
  velmora::ui::Form1 = nullptr;
}

TEST(StartApplication, AFailedStartUpEndsWithTheMessageAndStatusOne) {
  struct Case {
    const char* name;
    std::function<void()> startUp;
    const char* printed;
  } cases[] = {
      {"standard exception", [] { throw std::runtime_error("Resource_1 holds 52 samples"); },
       "velmora: Resource_1 holds 52 samples\n"},
      {"other exception", [] { throw 42; }, "velmora: Unknown error\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool loopRan = false;
    QTimer::singleShot(0, [&loopRan] {
      loopRan = true;
      QCoreApplication::exit(0);
    });
    std::ostringstream errors;
    EXPECT_EQ(velmora::startApplication(c.startUp, errors), 1);
    EXPECT_EQ(errors.str(), c.printed);
    EXPECT_FALSE(loopRan);  // the event loop never started
    ScriptDriver::settle();  // let the pending timer go
  }
}

TEST(StartApplication, AfterStartUpTheEventLoopRunsAndGivesItsStatus) {
  bool created = false;
  bool loopRan = false;
  std::ostringstream errors;
  const int status = velmora::startApplication(
      [&] {
        created = true;
        QTimer::singleShot(0, [&loopRan] {
          loopRan = true;
          QCoreApplication::exit(3);
        });
      },
      errors);
  EXPECT_EQ(status, 3);
  EXPECT_TRUE(created);
  EXPECT_TRUE(loopRan);
  EXPECT_EQ(errors.str(), "");
}

}  // namespace
}  // namespace reliability
