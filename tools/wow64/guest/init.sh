#!/bin/sh
# The virtual machine's init (process 1): mounts what Wine needs, brings up the loopback
# network, runs the job named on the kernel command line and powers off. The job's output
# goes to the console, which the host keeps.
#   orvano.job=prepare   makes the Wine prefix kept in the image (first boot only)
#   orvano.job=run       runs /work/job.sh from the second disk, results into /work/out
PATH=/usr/sbin:/usr/bin:/sbin:/bin
export PATH HOME=/root LANG=C.UTF-8
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev 2>/dev/null
mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts
for dir in /tmp /run /dev/shm; do mount -t tmpfs tmpfs "$dir"; done
busybox ip link set lo up
busybox hostname wow64
echo "orvano-init: up after $(cut -d' ' -f1 /proc/uptime) s"

job=
for word in $(cat /proc/cmdline); do
    case $word in orvano.job=*) job=${word#orvano.job=} ;; esac
done

case $job in
    prepare)
        /opt/orvano/prepare.sh
        echo "orvano-init: prepare ended with $?"
        ;;
    run)
        mkdir -p /work
        if mount /dev/vdb /work; then
            mkdir -p /work/out
            bash /work/job.sh >/work/out/job.log 2>&1
            echo "orvano-init: job ended with $?"
            cat /work/out/job.log
            sync
            umount /work
        else
            echo "orvano-init: no work disk"
        fi
        ;;
    *) echo "orvano-init: no job given" ;;
esac
sync
mount -o remount,ro / 2>/dev/null
echo "orvano-init: power off after $(cut -d' ' -f1 /proc/uptime) s"
echo o >/proc/sysrq-trigger
sleep 60
