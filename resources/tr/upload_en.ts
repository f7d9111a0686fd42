<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>vbFtpUpload</name>
    <message>
        <source>Cannot read %1</source>
        <translation>Cannot read %1</translation>
    </message>
    <message>
        <source>Cannot log in to the FTP server %1 or open the folder %2</source>
        <translation>Cannot log in to the FTP server %1 or open the folder %2</translation>
    </message>
    <message>
        <source>Storing %1 failed: %2</source>
        <translation>Storing %1 failed: %2</translation>
    </message>
    <message>
        <source>the local file could not be read</source>
        <translation>the local file could not be read</translation>
    </message>
    <message>
        <source>the connection broke</source>
        <translation>the connection broke</translation>
    </message>
</context>
<context>
    <name>vbHttpUpload</name>
    <message>
        <source>Cannot read the photo file %1</source>
        <translation>Cannot read the photo file %1</translation>
    </message>
    <message>
        <source>Cannot connect to %1:%2</source>
        <translation>Cannot connect to %1:%2</translation>
    </message>
    <message>
        <source>The connection broke after %1 of %2 bytes</source>
        <translation>The connection broke after %1 of %2 bytes</translation>
    </message>
    <message>
        <source>The service refused the photo: %1</source>
        <translation>The service refused the photo: %1</translation>
    </message>
    <message>
        <source>The service closed the connection without an answer</source>
        <translation>The service closed the connection without an answer</translation>
    </message>
    <message>
        <source>The service did not answer in time</source>
        <translation>The service did not answer in time</translation>
    </message>
    <message>
        <source>The connection failed while waiting for the answer</source>
        <translation>The connection failed while waiting for the answer</translation>
    </message>
    <message>
        <source>Unexpected error while waiting for the answer</source>
        <translation>Unexpected error while waiting for the answer</translation>
    </message>
</context>
<context>
    <name>vbLogs</name>
    <message>
        <source>Upload logs</source>
        <translation>Upload Log</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>User</source>
        <translation>User</translation>
    </message>
    <message>
        <source>Album</source>
        <translation>Album</translation>
    </message>
    <message>
        <source>File Name</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Successed</source>
        <translation>Succeeded</translation>
    </message>
    <message>
        <source>Faild</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>Tips</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>Please select a failed photo to upload</source>
        <translation>Please select a failed photo to upload again.</translation>
    </message>
    <message>
        <source>Successed photo can not import!</source>
        <translation>A photo that was uploaded successfully cannot be uploaded again.</translation>
    </message>
    <message>
        <source>Re-uploaded</source>
        <translation>Re-uploaded</translation>
    </message>
    <message>
        <source>Uploaded after an earlier attempt failed</source>
        <translation>Uploaded after an earlier attempt failed</translation>
    </message>
    <message>
        <source>Uploaded again on %1</source>
        <translation>Uploaded again on %1</translation>
    </message>
</context>
<context>
    <name>vbLogsClass</name>
    <message>
        <source>Re-upload</source>
        <translation>Upload again</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>vbUploadAgainBox</name>
    <message>
        <source>Tips</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>This photo has been upload.Do you want upload again?</source>
        <translation>This photo has already been uploaded. Do you want to upload it again?</translation>
    </message>
</context>
<context>
    <name>vbUploadAgainBoxClass</name>
    <message>
        <source>Yes all</source>
        <translation>Yes to all</translation>
    </message>
    <message>
        <source>No all</source>
        <translation>No to all</translation>
    </message>
</context>
<context>
    <name>vbUploadComplete</name>
    <message>
        <source>Upload complete</source>
        <translation>Upload Complete</translation>
    </message>
    <message>
        <source>Visit the velbrook website</source>
        <translation>Visit the velbrook website</translation>
    </message>
    <message numerus="yes">
        <source>All %n photo(s) uploaded.</source>
        <translation>
            <numerusform>The photo was uploaded.</numerusform>
            <numerusform>All %n photos were uploaded.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>vbUploadCompleteClass</name>
    <message>
        <source>continue to upload</source>
        <translation>Continue uploading</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>vbUploadFailed</name>
    <message>
        <source>Upload complete</source>
        <translation>Upload Finished</translation>
    </message>
    <message>
        <source>Successed upload</source>
        <translation>Uploaded: </translation>
    </message>
    <message>
        <source> photo,</source>
        <translation> photos, </translation>
    </message>
    <message>
        <source>has</source>
        <translation>failed: </translation>
    </message>
    <message>
        <source> failed</source>
        <translation>.</translation>
    </message>
    <message numerus="yes">
        <source>%1%n%2</source>
        <comment>Successed upload &lt;n&gt; photo,</comment>
        <translation>
            <numerusform>%n photo uploaded, </numerusform>
            <numerusform>%n photos uploaded, </numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1%n%2</source>
        <comment>has &lt;n&gt; failed</comment>
        <translation>
            <numerusform>%n failed.</numerusform>
            <numerusform>%n failed.</numerusform>
        </translation>
    </message>
    <message>
        <source>Upload finished with failures</source>
        <translation>Upload Finished with Failures</translation>
    </message>
    <message>
        <source>Upload failed</source>
        <translation>Upload Failed</translation>
    </message>
    <message>
        <source>no reason was given</source>
        <translation>no reason was given</translation>
    </message>
    <message numerus="yes">
        <source>None of the %n photo(s) could be uploaded.</source>
        <translation>
            <numerusform>The photo could not be uploaded.</numerusform>
            <numerusform>None of the %n photos could be uploaded.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>vbUploadFailedClass</name>
    <message>
        <source>Re-upload</source>
        <translation>Upload again</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>vbUploadProtocol</name>
    <message>
        <source>Getting the upload key failed: %1</source>
        <translation>Getting the upload key failed: %1</translation>
    </message>
    <message>
        <source>Sending the photo failed: %1</source>
        <translation>Sending the photo failed: %1</translation>
    </message>
    <message>
        <source>Saving the photo's details failed: %1</source>
        <translation>Saving the photo's details failed: %1</translation>
    </message>
    <message>
        <source>empty answer</source>
        <translation>empty answer</translation>
    </message>
    <message>
        <source>unexpected answer &quot;%1&quot;</source>
        <translation>unexpected answer &quot;%1&quot;</translation>
    </message>
</context>
<context>
    <name>vbBaseUpload</name>
    <message>
        <source>The previous transfer is still ending</source>
        <translation>The previous transfer is still ending</translation>
    </message>
</context>
</TS>
