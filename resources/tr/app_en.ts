<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>vbMainWnd</name>
    <message>
        <source>velbrook</source>
        <translation>velbrook</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimize</translation>
    </message>
    <message>
        <source>Maximize</source>
        <translation>Maximize</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>Tips</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>velbrook is run here!</source>
        <translation>velbrook keeps running here.</translation>
    </message>
    <message>
        <source>You have no select photo!</source>
        <translation>No photos selected yet.</translation>
    </message>
    <message>
        <source>You select </source>
        <translation>Selected: </translation>
    </message>
    <message>
        <source>Photos</source>
        <translation> photos</translation>
    </message>
    <message>
        <source>Do you want clear all photo?</source>
        <translation>Do you want to remove all photos from the list?</translation>
    </message>
    <message>
        <source>You can not select more then 300 photos!</source>
        <translation>You cannot select more than 300 photos.</translation>
    </message>
    <message>
        <source>Because one album just 500 photo,please remove some photo</source>
        <translation>An album holds at most 500 photos. Please remove some photos.</translation>
    </message>
    <message>
        <source>get photo albums...</source>
        <translation>Getting your albums...</translation>
    </message>
    <message>
        <source>logged in</source>
        <translation>Logged in</translation>
    </message>
    <message>
        <source>login...</source>
        <translation>Logging in...</translation>
    </message>
    <message>
        <source>Welcome</source>
        <translation>Welcome, </translation>
    </message>
    <message>
        <source>You has logged in, Do you want re-login?</source>
        <translation>You are already logged in. Do you want to log in again?</translation>
    </message>
    <message>
        <source>Please login!</source>
        <translation>Please log in first.</translation>
    </message>
    <message numerus="yes">
        <source>%1%n%2</source>
        <comment>You select &lt;count&gt; Photos</comment>
        <translation>
            <numerusform>You have selected %n photo</numerusform>
            <numerusform>You have selected %n photos</numerusform>
        </translation>
    </message>
    <message>
        <source>Sign out</source>
        <translation>Sign out</translation>
    </message>
    <message>
        <source>Sign in as someone else</source>
        <translation>Sign in as someone else</translation>
    </message>
    <message>
        <source>signed out</source>
        <translation>Signed out</translation>
    </message>
    <message>
        <source>Try again now?</source>
        <translation>Try again now?</translation>
    </message>
</context>
<context>
    <name>vbUploadQueue</name>
    <message>
        <source>Tips</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>Please login!</source>
        <translation>Please log in first.</translation>
    </message>
    <message>
        <source>It's uploading image.Do you want cancel uploading?</source>
        <translation>Photos are being uploaded. Do you want to cancel the upload?</translation>
    </message>
    <message>
        <source>Please select a photo list!</source>
        <translation>Please choose an album first.</translation>
    </message>
    <message>
        <source>Please select image to upload</source>
        <translation>Please add the photos you want to upload.</translation>
    </message>
    <message>
        <source>Cann't upload more than 300 images</source>
        <translation>You cannot upload more than 300 photos at once.</translation>
    </message>
    <message>
        <source>You can upload</source>
        <translation>You can upload </translation>
    </message>
    <message>
        <source>photos.</source>
        <translation> photos.</translation>
    </message>
    <message>
        <source> photos.Do you want upload front photo?</source>
        <translation> photos. Do you want to upload the first ones?</translation>
    </message>
    <message>
        <source>Uploading...</source>
        <translation>Uploading...</translation>
    </message>
    <message>
        <source> photo,</source>
        <translation> photos uploaded, </translation>
    </message>
    <message>
        <source>wait for</source>
        <translation>waiting: </translation>
    </message>
    <message>
        <source> photo.</source>
        <translation> photos.</translation>
    </message>
    <message>
        <source>Uploading...Success</source>
        <translation>Uploading... </translation>
    </message>
    <message>
        <source>Success</source>
        <translation>Finished: </translation>
    </message>
    <message>
        <source>StandBy</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>Do you want upload photos next time?</source>
        <translation>Do you want to upload the remaining photos next time?</translation>
    </message>
    <message numerus="yes">
        <source>%1%n%2</source>
        <comment>You can upload &lt;limit&gt; photos.</comment>
        <translation>
            <numerusform>An album holds at most %n photo.</numerusform>
            <numerusform>An album holds at most %n photos.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1%n%2</source>
        <comment>You can upload &lt;room&gt; photos; upload the front ones?</comment>
        <translation>
            <numerusform>The album has room for only %n more photo. Do you want to upload the first one?</numerusform>
            <numerusform>The album has room for only %n more photos. Do you want to upload the first %n?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1%n%2</source>
        <comment>&lt;lead&gt; &lt;uploaded&gt; photo,</comment>
        <translation>
            <numerusform>%1%n photo uploaded, </numerusform>
            <numerusform>%1%n photos uploaded, </numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1%n%2</source>
        <comment>wait for &lt;waiting&gt; photo.</comment>
        <translation>
            <numerusform>%n left.</numerusform>
            <numerusform>%n left.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n photos restored after an abnormal end.</source>
        <translation>
            <numerusform>%n photo was restored: the program did not end normally last time.</numerusform>
            <numerusform>%n photos were restored: the program did not end normally last time.</numerusform>
        </translation>
    </message>
    <message>
        <source>Could not save %1: %2</source>
        <translation>Could not save %1: %2</translation>
    </message>
    <message>
        <source>The album has no room for more photos.</source>
        <translation>The album has no room for more photos.</translation>
    </message>
</context>
</TS>
